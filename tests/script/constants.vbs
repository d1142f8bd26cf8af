' The vb… constants of message boxes and colours, and literal types.
WScript.Echo vbCritical, vbQuestion, vbExclamation, vbInformation
' expect: 16 32 48 64
WScript.Echo vbDefaultButton1, vbDefaultButton2, vbDefaultButton3, vbDefaultButton4
' expect: 0 256 512 768
WScript.Echo vbApplicationModal, vbSystemModal, vbAbortRetryIgnore, vbYesNoCancel, vbRetryCancel
' expect: 0 4096 2 3 5
WScript.Echo vbAbort, vbRetry, vbIgnore, vbMsgBoxSetForeground
' expect: 3 4 5 65536
WScript.Echo Hex(vbYellow), Hex(vbCyan), Hex(vbMagenta)
' expect: FFFF FFFF00 FF00FF
' A trailing & keeps all 32 bits; the value decides Integer or Long.
WScript.Echo TypeName(&H10&), &H10&, TypeName(&HFFFF&), TypeName(&H8000), &H8000, TypeName(&H10000)
' expect: Integer 16 Long Integer -32768 Long
' Conversions from Boolean and of the #TRUE# text.
WScript.Echo CBool("#TRUE#"), CBool("#false#"), CByte(True), TypeName(CByte(False))
' expect: True False 255 Byte
WScript.Echo Round(True), TypeName(Round(True)), TypeName(Round(False, 2))
' expect: True Boolean Boolean
Class Valued
  Public v
  Public Default Property Get Value
    Value = v
  End Property
End Class
Set num = New Valued
num.v = "12"
Set dt = New Valued
dt.v = "2024-01-31"
Class NoDefault
End Class
Set plain = New NoDefault
WScript.Echo IsNumeric(num), IsNumeric(dt), IsDate(dt), IsDate(num), IsNumeric(plain), IsDate(plain), IsDate(Nothing)
' expect: True False True False False False False
