x = Eval("1 + 2 * 3")
Sub Dynamic()
  Execute "Dim y : y = 5"
  ExecuteGlobal "Function Twice(n) : Twice = n * 2 : End Function"
  x = Twice(Eval("x + 1"))
  Dim f : Set f = GetRef("Twice")
  x = f(x)
End Sub
