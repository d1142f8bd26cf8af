' (c) One million calls of a small Function.
Function Add2(x, y)
  Add2 = x + y
End Function

Function Main()
  Dim i, s
  s = 0
  For i = 1 To 1000000
    s = Add2(s, i)
  Next
  Main = s
End Function
