Sub Broken(
  If Then
End Function
