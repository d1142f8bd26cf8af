' On Error Resume Next abandons the failing statement as a whole, and a
' failing loop or Select header goes on in a defined place.
On Error Resume Next
s = "a" : s = s & "b" & (1 / 0) & "c"
WScript.Echo s, Err.Number
' expect: a 11
Err.Clear
s = "a"
s = s & "b" & CStr(Null) & "c"
WScript.Echo s, Err.Number
' expect: a 94
Err.Clear
Sub InProc()
  On Error Resume Next
  Dim t, parts
  parts = Array("x")
  t = "<"
  t = t & "p" & parts(3) & ">"
  WScript.Echo t, Err.Number
  t = "<" & parts(0)
  t = t & "q" & parts(0) & ">" & 1
  WScript.Echo t
  Dim nothingHere, fresh
  Set nothingHere = Nothing
  t = t & parts(0) & nothingHere.Name & parts(0)
  WScript.Echo t, Err.Number
  fresh = fresh & "a" & Fails() & "b"
  WScript.Echo IsEmpty(fresh), Err.Number
End Sub
InProc
' expect: < 9
' expect: <xqx>1
' expect: <xqx>1 424
' expect: True 11
Function Fails()
  Fails = 1 / 0
End Function
Err.Clear
g = "g"
g = g & "1" & "2"
g = g & (1 / 0) & "3"
WScript.Echo g, Err.Number
' expect: g12 11
Err.Clear
' A failing For header runs the body once; its Next raises 92 and leaves the loop.
n = 0
For i = 1 To 1 / 0
  n = n + 1
Next
WScript.Echo n, Err.Number
' expect: 1 92
Err.Clear
' The same loop afterwards runs normally.
For k = 1 To 2
  For i = 1 To 3
    n = n + 1
  Next
Next
WScript.Echo n, i, Err.Number
' expect: 7 4 0
' A failing For Each header runs the body once, then leaves the loop.
n = 0
For Each x In 5
  n = n + 1
Next
WScript.Echo n, Err.Number
' expect: 1 451
Err.Clear
' A failing Select selector tests the cases against Empty.
Select Case 1 / 0
  Case 1
    r = "one"
  Case Empty
    r = "empty"
  Case Else
    r = "else"
End Select
WScript.Echo r, Err.Number
' expect: empty 11
Err.Clear
' A failing Case test enters its body, as a failing If condition does.
Select Case 2
  Case 1 / 0
    r = "first"
  Case 2
    r = "second"
End Select
WScript.Echo r, Err.Number
' expect: first 11
On Error GoTo 0
' After a For Each the variable keeps the last element.
For Each x In Array(1, 2, 3)
Next
WScript.Echo x
' expect: 3
