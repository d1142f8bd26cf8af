' If, Select Case, For, For Each, Do, While and Exit.
x = 5
If x > 3 Then WScript.Echo "big" Else WScript.Echo "small"
' expect: big
If x > 9 Then WScript.Echo "a" : WScript.Echo "b" Else WScript.Echo "c" : WScript.Echo "d"
' expect: c
' expect: d
If x = 1 Then
  WScript.Echo "one"
ElseIf x = 5 Then
  WScript.Echo "five"
Else
  WScript.Echo "other"
End If
' expect: five
For Each v In Array(1, 5, 7, "x", 12)
  Select Case v
    Case 1, 2
      r = "low"
    Case 3 To 6
      r = "mid"
    Case "x"
      r = "letter"
    Case Is > 10
      r = "high"
    Case Else
      r = "else"
  End Select
  WScript.StdOut.Write r & " "
Next
WScript.Echo
' expect: low mid else letter high 
Select Case 2
  Case 2
    WScript.Echo "first"
  Case 2
    WScript.Echo "second"
End Select
' expect: first
s = ""
For i = 10 To 1 Step -3
  s = s & i & ","
Next
WScript.Echo s, i
' expect: 10,7,4,1, -2
s = ""
For i = 0 To 1 Step 0.25
  s = s & i & " "
Next
WScript.Echo s
' expect: 0 0.25 0.5 0.75 1 
For i = 1 To 10
  If i = 4 Then Exit For
Next
WScript.Echo i
' expect: 4
n = 3
For i = 1 To n
  n = 10
Next
WScript.Echo i
' expect: 4
For i = 5 To 1
  WScript.Echo "never"
Next
WScript.Echo i
' expect: 5
i = 0
Do While i < 3
  i = i + 1
Loop
WScript.Echo i
' expect: 3
Do
  i = i + 1
Loop Until i >= 10
WScript.Echo i
' expect: 10
Do Until i = 0
  i = i - 2
  If i < 5 Then Exit Do
Loop
WScript.Echo i
' expect: 4
i = 0
Do
  i = i + 1
  If i = 7 Then Exit Do
Loop
WScript.Echo i
' expect: 7
i = 100
Do
  i = i + 1
Loop While i < 5
WScript.Echo i
' expect: 101
While i > 98
  i = i - 1
Wend
WScript.Echo i
' expect: 98
arr = Array(1, 2, 3)
For Each e In arr
  e = e * 10
Next
WScript.Echo Join(arr, ",")
' expect: 1,2,3
For i = 1 To 2
  For j = 1 To 3
    If j = 2 Then Exit For
    WScript.StdOut.Write i & j & " "
  Next
Next
WScript.Echo
' expect: 11 21 
On Error Resume Next
For Each e In 42
Next
WScript.Echo Err.Number
' expect: 451
