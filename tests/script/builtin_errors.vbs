' Built-ins check their arguments before they look at a Null text: Null counts
' and positions raise 94, out-of-range ones raise 5; a Null text gives Null,
' except Replace and Split, which raise 94.
On Error Resume Next
Sub Try(label, code)
  On Error Resume Next
  r = Eval(code)
  If Err.Number <> 0 Then
    WScript.Echo label, "error", Err.Number
  Else
    WScript.Echo label, TypeName(r)
  End If
End Sub
Try "Mid", "Mid(Null, 1)"
' expect: Mid Null
Try "Mid0", "Mid(Null, 0)"
' expect: Mid0 error 5
Try "MidLen", "Mid(""abc"", 1, Null)"
' expect: MidLen error 94
Try "Left", "Left(Null, -1)"
' expect: Left error 5
Try "InStr", "InStr(Null, ""a"")"
' expect: InStr Null
Try "InStr0", "InStr(0, Null, ""a"")"
' expect: InStr0 error 5
Try "InStrNull", "InStr(Null, ""a"", ""a"")"
' expect: InStrNull error 94
Try "InStrRev", "InStrRev(Null, ""a"", 0)"
' expect: InStrRev error 5
Try "InStrRevNull", "InStrRev(""abc"", ""a"", Null)"
' expect: InStrRevNull error 94
Try "Replace", "Replace(Null, ""a"", ""b"")"
' expect: Replace error 94
Try "Split", "Split(Null)"
' expect: Split error 94
Try "DateSerial", "DateSerial(2020, Null, 1)"
' expect: DateSerial error 94
Try "TimeSerial", "TimeSerial(Null, 0, 0)"
' expect: TimeSerial error 94
Try "DateAdd", "DateAdd(""d"", Null, Now)"
' expect: DateAdd error 94
Try "DateAddBad", "DateAdd(""x"", 1, Null)"
' expect: DateAddBad error 5
Try "Weekday", "Weekday(Null)"
' expect: Weekday Null
Try "Weekday8", "Weekday(Null, 8)"
' expect: Weekday8 error 5
Try "Sgn", "Sgn(Null)"
' expect: Sgn error 94
Try "SgnText", "Sgn(""x"")"
' expect: SgnText error 13
Try "Abs", "Abs(Null)"
' expect: Abs Null
Try "Year", "Year(Null)"
' expect: Year Null
