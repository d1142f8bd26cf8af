' Procedures: ByRef default, ByVal, parenthesised copies, Call, results, recursion.
Sub Bump(x)
  x = x + 1
End Sub
Sub BumpVal(ByVal x)
  x = x + 1
End Sub
a = 1
Bump a
WScript.Echo a
' expect: 2
BumpVal a
WScript.Echo a
' expect: 2
Bump (a)
WScript.Echo a
' expect: 2
Call Bump(a)
WScript.Echo a
' expect: 3
arr = Array(1, 2)
Bump arr(0)
WScript.Echo arr(0)
' expect: 2
Function NoResult()
End Function
WScript.Echo IsEmpty(NoResult())
' expect: True
Function Acc(n)
  Acc = 10
  Acc = Acc + n
End Function
WScript.Echo Acc(5)
' expect: 15
Function Fib(n)
  If n < 2 Then
    Fib = n
    Exit Function
  End If
  Fib = Fib(n - 1) + Fib(n - 2)
End Function
WScript.Echo Fib(20)
' expect: 6765
Function Twice(ByRef v)
  v = v * 2
  Twice = v
End Function
b = 4
WScript.Echo Twice(b), b
' expect: 8 8
WScript.Echo Twice((b)), b
' expect: 16 8
Sub Swap(p, q)
  Dim t
  t = p : p = q : q = t
End Sub
m = "left" : n = "right"
Swap m, n
WScript.Echo m, n
' expect: right left
Function Later()
  Later = Sooner() + 1
End Function
Function Sooner()
  Sooner = 41
End Function
WScript.Echo Later
' expect: 42
Sub Local()
  z = 99
End Sub
z = 1
Local
WScript.Echo z
' expect: 99
Sub Shadow()
  Dim z
  z = 5
End Sub
Shadow
WScript.Echo z
' expect: 99
On Error Resume Next
Bump
WScript.Echo Err.Number
' expect: 450
Err.Clear
Execute "Bump(1, 2)"
WScript.Echo Err.Number
' expect: 1044
