' Arrays: fixed and dynamic, ReDim Preserve, Erase, value copies, bounds.
Dim a(3)
WScript.Echo UBound(a), LBound(a), IsArray(a), TypeName(a), VarType(a)
' expect: 3 0 True Variant() 8204
a(0) = "x" : a(3) = "y"
WScript.Echo a(0) & a(1) & a(3)
' expect: xy
Dim d()
ReDim d(2)
d(2) = 7
ReDim Preserve d(4)
WScript.Echo UBound(d), d(2)
' expect: 4 7
ReDim d(1)
WScript.Echo IsEmpty(d(1)), UBound(d)
' expect: True 1
ReDim e(2)
WScript.Echo UBound(e)
' expect: 2
b = Array(1, 2, 3)
c = b
c(0) = 99
WScript.Echo b(0), c(0)
' expect: 1 99
Dim m(2, 3)
m(1, 2) = "mid"
WScript.Echo UBound(m, 1), UBound(m, 2), m(1, 2)
' expect: 2 3 mid
Erase a
WScript.Echo UBound(a), IsEmpty(a(0))
' expect: 3 True
s = Split("")
WScript.Echo UBound(s)
' expect: -1
z = Array()
WScript.Echo UBound(z), LBound(z)
' expect: -1 0
Function Make()
  Dim r(1)
  r(0) = "made"
  Make = r
End Function
WScript.Echo Make()(0)
' expect: made
On Error Resume Next
x = a(4)
WScript.Echo Err.Number, Err.Description
' expect: 9 Subscript out of range
Err.Clear
ReDim a(5)
WScript.Echo Err.Number
' expect: 10
Err.Clear
ReDim q(2, 3)
ReDim Preserve q(2, 5)
WScript.Echo Err.Number, UBound(q, 2)
' expect: 0 5
ReDim Preserve q(3, 5)
WScript.Echo Err.Number
' expect: 9
Err.Clear
Erase d
x = UBound(d)
WScript.Echo Err.Number
' expect: 9
Err.Clear
n = 5
WScript.Echo n(1)
WScript.Echo Err.Number
' expect: 13
