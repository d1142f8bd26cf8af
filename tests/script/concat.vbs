' Appending to a string in a loop stays linear (200,000 appends run in well under a second).
s = ""
For i = 1 To 200000
  s = s & "x"
Next
WScript.Echo Len(s)
' expect: 200000
Function Build()
  Dim out, k
  For k = 1 To 100000
    out = out & "ab" & k Mod 10
  Next
  Build = Len(out)
End Function
WScript.Echo Build()
' expect: 300000
t = Null
t = t & Null
WScript.Echo IsNull(t)
' expect: True
t = t & "a"
WScript.Echo t
' expect: a
u = 5
u = u & 6 & "x"
WScript.Echo u, TypeName(u)
' expect: 56x String
v = "p"
v = v & v & "q"
WScript.Echo v
' expect: ppq
