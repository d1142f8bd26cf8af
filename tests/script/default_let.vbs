' Assigning without Set to a variable that holds an object replaces the
' variable's value; an object on the right gives its default value.
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
b.Value = 5
Set c = New Box
c = b
WScript.Echo TypeName(c), c
' expect: Integer 5
c = 7
WScript.Echo TypeName(c), c
' expect: Integer 7
Class Plain
  Public Name
End Class
Set p = New Plain
p = 1
WScript.Echo TypeName(p), p
' expect: Integer 1
Set n = Nothing
n = 7
WScript.Echo n
' expect: 7
Sub Fill(box)
  box = "inside"
End Sub
Fill b
WScript.Echo TypeName(b), b
' expect: String inside
' A property or field that holds an object is replaced the same way.
Set holder = New Plain
Set holder.Name = New Box
holder.Name = 3
WScript.Echo TypeName(holder.Name), holder.Name
' expect: Integer 3
Dim arr(1)
Set arr(0) = New Box
arr(0) = "x"
WScript.Echo TypeName(arr(0))
' expect: String
