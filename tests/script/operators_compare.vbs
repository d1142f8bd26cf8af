' Comparisons across types, Empty and Null, string comparison, Is.
WScript.Echo "10" = 10, 2 < "10", "abc" > 5
' expect: False True True
WScript.Echo Empty = 0, Empty = "", "" = 0
' expect: True True False
WScript.Echo IsNull(Null = Null), IsNull(1 < Null)
' expect: True True
If Null Then
  WScript.Echo "then"
Else
  WScript.Echo "else"
End If
' expect: else
WScript.Echo "a" < "B", "a" = "A", "abc" < "abd"
' expect: False False True
WScript.Echo 1 = 1.0, CLng(5) = CInt(5), True = -1
' expect: True True True
Dim a, b
Set a = CreateObject("Scripting.Dictionary")
Set b = a
WScript.Echo a Is b, a Is Nothing, Nothing Is Nothing
' expect: True False True
On Error Resume Next
x = 1 Is 1
WScript.Echo Err.Number
' expect: 424
