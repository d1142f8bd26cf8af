On Error Resume Next
Sub Risky()
  On Error Resume Next
  Dim x
  x = 1 / 0
  If Err.Number <> 0 Then x = Err.Description & " (" & Err.Number & ")"
  Err.Clear
  Err.Raise vbObjectError + 513, "Risky", "custom failure"
  x = x & Err.Source
  On Error GoTo 0
  x = CInt("not a number")
End Sub
y = 1 / 0
