' (b) One million concatenations of short strings; the variable starts over every 100.
Function Main()
  Dim i, s
  For i = 1 To 1000000
    If i Mod 100 = 0 Then s = ""
    s = s & "ab"
  Next
  Main = Len(s)
End Function
