n = UBound(Array(1, "two", 3.5, Null, Empty))
Sub Fill()
  Dim a(), grid(2, 3), i, j, item, total
  ReDim a(2)
  For i = 0 To 2 : a(i) = i * i : Next
  ReDim Preserve a(5)
  a(5) = "last"
  For i = 0 To 2
    For j = 0 To 3
      grid(i, j) = i + j
    Next
  Next
  For Each item In a
    If Not IsEmpty(item) Then total = total & item
  Next
  Erase a
  total = total & UBound(grid, 2) & IsArray(grid)
End Sub
