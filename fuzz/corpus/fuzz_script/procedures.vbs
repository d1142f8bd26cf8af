total = Factorial(5) + 1
Sub Main()
  Dim p, q : p = 1 : q = "two"
  Swap p, q
  Bump q
  Call Swap(p, q)
  total = total + Factorial(p)
End Sub
Function Factorial(n)
  If n <= 1 Then
    Factorial = 1
    Exit Function
  End If
  Factorial = n * Factorial(n - 1)
End Function
Sub Swap(ByRef a, ByRef b)
  Dim t : t = a : a = b : b = t
End Sub
Sub Bump(ByVal x)
  x = x + 1
End Sub
