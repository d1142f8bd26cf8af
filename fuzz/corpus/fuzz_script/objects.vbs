Set d = CreateObject("Scripting.Dictionary")
Sub Objects()
  Dim d, re, m, out, k
  Set d = CreateObject("Scripting.Dictionary")
  d.Add "a", 1
  d("b") = 2
  If d.Exists("a") Then d.Remove "a"
  For Each k In d.Keys
    out = out & k & "=" & d(k) & ";"
  Next
  Set re = New RegExp
  re.Pattern = "(\w+)@(\w+)\.com"
  re.Global = True
  re.IgnoreCase = True
  For Each m In re.Execute("a@b.com, C@D.COM")
    out = out & m.SubMatches(1) & m.FirstIndex
  Next
  out = out & re.Replace("x@y.com", "$2 at $1") & re.Test("none")
End Sub
