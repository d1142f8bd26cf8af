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
' A local compared with a constant (compiled to one in-place comparison) gives
' what a module variable, compared the general way, gives, for every kind of value.
Function InLocal(v)
  Dim x, r: x = v
  Select Case x
    Case "1": r = "one"
    Case 2: r = "two"
    Case "": r = "empty"
    Case Else: r = "else"
  End Select
  InLocal = r & (x = "1") & (x = 1) & (x = "") & IsNull(x = "1")
End Function
Dim cmpValue, cmpResult, cmpSame
cmpSame = True
For Each cmpValue In Array("1", 1, 2, "2", Empty, Null, "x", 1.5, True, "")
  Select Case cmpValue
    Case "1": cmpResult = "one"
    Case 2: cmpResult = "two"
    Case "": cmpResult = "empty"
    Case Else: cmpResult = "else"
  End Select
  cmpResult = cmpResult & (cmpValue = "1") & (cmpValue = 1) & (cmpValue = "") & IsNull(cmpValue = "1")
  If cmpResult <> InLocal(cmpValue) Then cmpSame = False
Next
WScript.Echo cmpSame, InLocal("1"), InLocal(Empty)
' expect: True oneTrueFalseFalseFalse emptyFalseFalseTrueFalse
