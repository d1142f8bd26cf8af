n = 0
Sub Forever()
  Do
    n = n + 1
  Loop
End Sub
