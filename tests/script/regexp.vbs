' RegExp: Test, Execute with SubMatches, Replace with $ references, flags.
Set re = New RegExp
re.Pattern = "(\w+)@(\w+)\.com"
WScript.Echo re.Global, re.Test("mail bob@example.com now"), re.Test("none")
' expect: False True False
Set ms = re.Execute("a@b.com and c@d.com")
WScript.Echo ms.Count, ms(0).Value, ms(0).FirstIndex, ms(0).Length, ms(0).SubMatches(1)
' expect: 1 a@b.com 0 7 b
re.Global = True
Set ms = re.Execute("a@b.com and c@d.com")
WScript.Echo ms.Count, ms.Item(1).Value, ms(1).FirstIndex
' expect: 2 c@d.com 12
s = ""
For Each m In ms
  s = s & m.SubMatches(0) & ";"
Next
WScript.Echo s
' expect: a;c;
WScript.Echo re.Replace("x a@b.com y", "[$2:$1] ($&)")
' expect: x [b:a] (a@b.com) y
Set r2 = CreateObject("VBScript.RegExp")
r2.Pattern = "o"
WScript.Echo r2.Replace("foo boo", "0")
' expect: f0o boo
r2.Global = True
WScript.Echo r2.Replace("foo boo", "0")
' expect: f00 b00
r2.Pattern = "^b"
r2.MultiLine = True
WScript.Echo r2.Replace("abc" & vbLf & "bcd", "X") = "abc" & vbLf & "Xcd"
' expect: True
r2.Pattern = "HELLO"
r2.IgnoreCase = True
WScript.Echo r2.Test("say hello")
' expect: True
r2.Pattern = "(a)|(b)"
Set m = r2.Execute("b")(0)
WScript.Echo IsEmpty(m.SubMatches(0)), m.SubMatches(1), m.SubMatches.Count
' expect: True b 2
r2.Pattern = "\d{2,3}"
WScript.Echo r2.Replace("1 12 1234 12345", "#")
' expect: 1 # #4 ##
r2.Pattern = "a.*?b"
WScript.Echo r2.Replace("aXbYb", "-")
' expect: -Yb
r2.Pattern = "(\w)\1"
WScript.Echo r2.Replace("aabbcd", "=")
' expect: ==cd
r2.Pattern = "x(?=y)"
WScript.Echo r2.Replace("xy xz", "Q")
' expect: Qy xz
r2.Pattern = "[^a-c\s]+"
WScript.Echo r2.Replace("abc def", "_")
' expect: abc _
r2.Pattern = "é+"
WScript.Echo r2.Execute("caféé!")(0).FirstIndex, r2.Execute("caféé!")(0).Length
' expect: 3 2
r2.Pattern = "a*"
WScript.Echo r2.Replace("baaac", "-")
' expect: -b--c-
On Error Resume Next
r2.Pattern = "(abc"
x = r2.Test("abc")
WScript.Echo Err.Number
' expect: 5020
