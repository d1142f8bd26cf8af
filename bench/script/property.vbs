' (d) One million property reads on a host object (the host names it Obj).
Function Main()
  Dim i, s
  s = 0
  For i = 1 To 1000000
    s = s + Obj.Value
  Next
  Main = s
End Function
