Set c = New Counter
Class Counter
  Private mCount
  Public Name
  Private Sub Class_Initialize()
    mCount = 0
    Name = "counter"
  End Sub
  Public Property Get Count()
    Count = mCount
  End Property
  Public Property Let Count(v)
    If v < 0 Then Err.Raise 5, "Counter", "negative count"
    mCount = v
  End Property
  Public Default Function Add(n)
    mCount = mCount + n
    Set Add = Me
  End Function
End Class
Sub UseCounter()
  Dim k
  Set k = New Counter
  k.Add(2).Add 3
  With k
    .Count = .Count * 2
    .Name = TypeName(k) & .Count
  End With
  Set k = Nothing
End Sub
