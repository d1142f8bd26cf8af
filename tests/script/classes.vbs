' Classes: fields, properties, methods, Me, default member, events, With.
Class Counter
  Private mCount
  Public Name
  Private Sub Class_Initialize()
    mCount = 0
    Name = "c"
  End Sub
  Private Sub Class_Terminate()
    WScript.Echo "bye " & Name
  End Sub
  Public Property Get Count()
    Count = mCount
  End Property
  Public Property Let Count(v)
    If v < 0 Then Err.Raise 5
    mCount = v
  End Property
  Public Default Function Add(n)
    mCount = mCount + n
    Set Add = Me
  End Function
  Public Function Twice()
    Twice = Count * 2
  End Function
End Class
Set c = New Counter
c.Add 2
c.Add(3).Add 4
WScript.Echo c.Count, c.Twice(), TypeName(c)
' expect: 9 18 Counter
c.Count = 20
WScript.Echo c.Count
c(1)
WScript.Echo c.Count
' expect: 20
' expect: 21
With c
  .Name = "named"
  WScript.Echo .Name, .Count
End With
' expect: named 21
On Error Resume Next
c.Count = -1
WScript.Echo Err.Number, c.Count
' expect: 5 21
Err.Clear
x = c.mCount
WScript.Echo Err.Number
' expect: 438
On Error GoTo 0
Set c = Nothing
' expect: bye named
Class Node
  Public Value, NextNode
End Class
Set head = Nothing
For i = 1 To 3
  Set n = New Node
  n.Value = i
  Set n.NextNode = head
  Set head = n
Next
s = ""
Set p = head
Do Until p Is Nothing
  s = s & p.Value
  Set p = p.NextNode
Loop
WScript.Echo s
' expect: 321
Class Shape
  Public Property Get Kind
    Kind = "shape:" & Me.Size
  End Property
  Public Property Get Size
    Size = 3
  End Property
End Class
Set sh = New Shape
WScript.Echo sh.Kind
' expect: shape:3
Class Holder
  Private mObj
  Public Property Set Obj(o)
    Set mObj = o
  End Property
  Public Property Get Obj
    Set Obj = mObj
  End Property
End Class
Set h = New Holder
Set h.Obj = New Shape
WScript.Echo h.Obj.Size
' expect: 3
On Error Resume Next
With 5
End With
WScript.Echo Err.Number
' expect: 424
