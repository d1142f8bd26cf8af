' Assigning without Set to a variable that holds an object assigns the object's
' default property; the variable keeps the object.
Class Box
  Private v
  Public Default Property Get Value
    Value = v
  End Property
  Public Property Let Value(x)
    v = x
  End Property
End Class
Set b = New Box
b = 5
WScript.Echo TypeName(b), b.Value, b + 1
' expect: Box 5 6
Set c = New Box
c = b
WScript.Echo TypeName(c), c.Value
' expect: Box 5
Class Plain
  Public Name
End Class
Set p = New Plain
On Error Resume Next
p = 1
WScript.Echo Err.Number, IsObject(p)
' expect: 438 True
On Error GoTo 0
Set n = Nothing
n = 7
WScript.Echo n
' expect: 7
Sub Fill(box)
  box = "inside"
End Sub
Fill b
WScript.Echo TypeName(b), b.Value
' expect: Box inside
