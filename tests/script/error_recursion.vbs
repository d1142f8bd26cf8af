' Endless recursion ends in "Out of stack space", not a crash.
Function Deep(n)
  Deep = Deep(n + 1)
End Function
On Error Resume Next
x = Deep(0)
WScript.Echo Err.Number, Err.Description
' expect: 28 Out of stack space
On Error GoTo 0
Class Looper
  Public Function Again(n)
    Again = Me.Again(n + 1)
  End Function
End Class
Set l = New Looper
l.Again 1
' error: Microsoft VBScript runtime error: Out of stack space
