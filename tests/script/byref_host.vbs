' Arguments that name variables are passed by reference to objects too: what
' the object writes into them comes back (here a function reference from GetRef).
Sub Twice(n)
  n = n * 2
End Sub
Set f = GetRef("Twice")
x = 3
f x
WScript.Echo x
' expect: 6
Call f(x)
WScript.Echo x
' expect: 12
f (x)
WScript.Echo x
' expect: 12
Dim a(1)
a(0) = 5
f a(0)
WScript.Echo a(0)
' expect: 10
Sub Local
  Dim y
  y = "ab"
  f y
  WScript.Echo y
End Sub
Sub Concat2(s)
  s = s & s
End Sub
Set f = GetRef("Concat2")
Local
' expect: abab
