' Math functions and random numbers.
WScript.Echo Abs(-5), Abs(-2.5), TypeName(Abs(CInt(-3))), Sgn(-7), Sgn(0), Sgn(0.1)
' expect: 5 2.5 Integer -1 0 1
WScript.Echo Sqr(16), Exp(0), Log(1), Sin(0), Cos(0), Tan(0), Round(Atn(1) * 4, 6)
' expect: 4 1 0 0 1 0 3.141593
Randomize 42
a = Rnd
Randomize 42
b = Rnd
WScript.Echo a = b, a >= 0 And a < 1, Rnd(0) = b
' expect: True True True
x = Rnd(-1)
y = Rnd(-1)
WScript.Echo x = y
' expect: True
ok = True
For i = 1 To 1000
  r = Int(Rnd * 6) + 1
  If r < 1 Or r > 6 Then ok = False
Next
WScript.Echo ok
' expect: True
On Error Resume Next
x = Sqr(-1)
WScript.Echo Err.Number
' expect: 5
Err.Clear
x = Log(0)
WScript.Echo Err.Number
' expect: 5
