' Single is a type of its own: CSng, Rnd and Timer give it; it rounds and
' prints with single precision; with Integer it stays Single, with Long or
' Double it widens to Double.
s = CSng(0.1)
WScript.Echo VarType(s), TypeName(s), s
' expect: 4 Single 0.1
WScript.Echo CDbl(s) = 0.1, CSng(1) / 3
' expect: False 0.3333333
WScript.Echo TypeName(s + 1), TypeName(s * s), TypeName(s + CLng(1)), TypeName(s + 0.5), TypeName(-s)
' expect: Single Single Double Double Single
WScript.Echo CSng(123456789), CSng(1.5E+20), TypeName(Rnd), TypeName(Timer)
' expect: 1.234568E+08 1.5E+20 Single Single
WScript.Echo TypeName(Int(CSng(2.5))), Int(CSng(2.5)), TypeName(Abs(CSng(-2))), TypeName(Round(CSng(2.25), 1))
' expect: Single 2 Single Single
WScript.Echo IsNumeric(s), CSng("2.5") = 2.5, vbSingle
' expect: True True 4
On Error Resume Next
x = CSng(1E+300)
WScript.Echo Err.Number
' expect: 6
