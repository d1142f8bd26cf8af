' Errors VBScript raises when the line runs, not when the file compiles: a
' built-in with the wrong number of arguments (450), ".name" outside With
' (505), a member of Nothing (424). Err.Description has VBScript's text alone.
WScript.Echo "start"
' expect: start
On Error Resume Next
x = Mid("abc")
WScript.Echo Err.Number, Err.Description
' expect: 450 Wrong number of arguments or invalid property assignment
Err.Clear
x = Len("a", "b")
WScript.Echo Err.Number
' expect: 450
Err.Clear
y = .Missing
WScript.Echo Err.Number, Err.Description
' expect: 505 Invalid or unqualified reference
Err.Clear
Set n = Nothing
z = n.Name
WScript.Echo Err.Number, Err.Description
' expect: 424 Object required
Err.Clear
n.Name = 1
WScript.Echo Err.Number
' expect: 424
Err.Clear
Class Empty1
End Class
Set o = New Empty1
o.Nope
WScript.Echo Err.Number, Err.Description
' expect: 438 Object doesn't support this property or method
Err.Clear
Class Selfish
  Function Probe()
    Probe = Me.NotThere
  End Function
End Class
Set sf = New Selfish
v = sf.Probe()
WScript.Echo Err.Number
' expect: 438
Err.Clear
q = Unknown(1)
WScript.Echo Err.Number, Err.Description
' expect: 13 Type mismatch
On Error GoTo 0
WScript.Echo Left("abc")
' error: Microsoft VBScript runtime error: Wrong number of arguments or invalid property assignment: 'Left'
