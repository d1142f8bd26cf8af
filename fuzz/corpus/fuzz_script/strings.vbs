s = "Hello, World"
Sub Main()
  x = Shout(s) & Shout("")
End Sub
Function Shout(text)
  Dim parts, i
  parts = Split(text, ", ")
  For i = LBound(parts) To UBound(parts)
    parts(i) = UCase(Left(parts(i), 1)) & LCase(Mid(parts(i), 2))
  Next
  Shout = Join(parts, " & ") & String(3, "!") & Chr(65) & Asc("a")
  Shout = Replace(Shout, "o", "0", 1, -1, vbTextCompare)
  If InStr(1, Shout, "w0rld", vbTextCompare) > 0 Then Shout = StrReverse(Trim("  " & Shout & "  "))
  Shout = Shout & Space(2) & Len(Shout) & InStrRev(Shout, "l") & StrComp("a", "B", 1) & Right(Shout, 3)
End Function
x = Shout(s) & LTrim(RTrim(" x ")) & vbCrLf & """quoted"""
