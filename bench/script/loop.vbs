' (a) Ten million integer additions in a loop.
Function Main()
  Dim i, s
  s = 0
  For i = 1 To 10000000
    s = s + i
  Next
  Main = s
End Function
