' Eval, Execute, ExecuteGlobal and GetRef.
x = 1
WScript.Echo Eval("x = 1"), Eval("x + 41"), TypeName(Eval("""s"""))
' expect: True 42 String
Execute "x = 5"
WScript.Echo x
' expect: 5
Sub Scoped()
  Dim local
  local = 10
  Execute "local = local * 2"
  WScript.Echo local, Eval("local + 1")
End Sub
Scoped
' expect: 20 21
ExecuteGlobal "Function Made(n) : Made = n * 3 : End Function"
WScript.Echo Made(4)
' expect: 12
Sub MakeGlobal()
  ExecuteGlobal "g = 7"
End Sub
MakeGlobal
WScript.Echo g
' expect: 7
Function Greet(name)
  Greet = "hi " & name
End Function
Set f = GetRef("Greet")
WScript.Echo f("bob")
' expect: hi bob
Execute "If x = 5 Then" & vbCrLf & "WScript.Echo ""multi""" & vbCrLf & "End If"
' expect: multi
On Error Resume Next
y = Eval("1 +")
WScript.Echo Err.Number
' expect: 1023
Err.Clear
Set f = GetRef("NoSuch")
WScript.Echo Err.Number
' expect: 5
