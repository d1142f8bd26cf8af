' On Error Resume Next, the Err object, handlers per procedure.
On Error Resume Next
x = 1 / 0
WScript.Echo Err.Number, Err.Description, Err.Source
' expect: 11 Division by zero Microsoft VBScript runtime error
WScript.Echo Err.Number
' expect: 11
Err.Clear
WScript.Echo Err.Number, "[" & Err.Description & "]"
' expect: 0 []
If 1 / 0 = 5 Then
  WScript.Echo "entered"
End If
' expect: entered
Err.Raise 1000, "mine", "custom text"
WScript.Echo Err.Number, Err.Source, Err.Description
' expect: 1000 mine custom text
Err.Raise 0
WScript.Echo Err.Number
' expect: 5
Err.Raise vbObjectError + 1
WScript.Echo Err.Number = vbObjectError + 1, Err.Description
' expect: True Unknown runtime error
On Error GoTo 0
WScript.Echo Err.Number
' expect: 0
Sub Fails()
  x = 1 / 0
  WScript.Echo "not reached"
End Sub
Sub Guarded()
  On Error Resume Next
  Fails
  WScript.Echo "guarded goes on", Err.Number
End Sub
Guarded
' expect: guarded goes on 11
WScript.Echo Err.Number
' expect: 11
On Error Resume Next
Fails
WScript.Echo "after", Err.Number
' expect: after 11
Err.Clear
Sub Inner()
  On Error Resume Next
  y = CInt("x")
End Sub
Inner
WScript.Echo Err.Number
' expect: 13
Err.Clear
For i = 1 To 3
  z = 10 / (i - 2)
  WScript.StdOut.Write i & ":" & Err.Number & " "
  Err.Clear
Next
WScript.Echo
' expect: 1:0 2:11 3:0 
