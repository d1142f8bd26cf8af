' Execute runs in the scope that calls it: inside a procedure, the names it
' declares belong to that procedure call; assignments to known names reach them.
Dim g
g = "global"
Sub S(n)
  Dim known
  Execute "Dim z : z = n * 10"
  WScript.Echo z
  Execute "z = z + 1 : known = ""set"" : g = ""changed"" : w = 7"
  WScript.Echo z, known, w, Eval("z + w")
  If n > 1 Then S n - 1
  WScript.Echo "after", n, z
End Sub
S 2
' expect: 20
' expect: 21 set 7 28
' expect: 10
' expect: 11 set 7 18
' expect: after 1 11
' expect: after 2 21
WScript.Echo IsEmpty(z), IsEmpty(w), g
' expect: True True changed
Function T()
  Execute "Dim q : q = 4"
  Execute "Execute ""q = q * 2"""
  T = q
End Function
WScript.Echo T(), IsEmpty(q)
' expect: 8 True
' At module level Execute still declares globals.
Execute "Dim m : m = 3"
WScript.Echo m
' expect: 3
