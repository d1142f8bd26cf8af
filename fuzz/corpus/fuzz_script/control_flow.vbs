i = 0
Sub Flow()
  Dim i, n, s
  Do While i < 10
    i = i + 1
    If i Mod 2 = 0 Then
      s = s & "e"
    ElseIf i = 7 Then
      Exit Do
    Else
      s = s & "o"
    End If
  Loop
  Do
    n = n + 1
  Loop Until n >= 3
  While n > 0 : n = n - 1 : Wend
  For i = 10 To 1 Step -3
    Select Case i
      Case 1, 4 : s = s & "low"
      Case 7 To 9 : s = s & "mid"
      Case Is > 9 : s = s & "high"
      Case Else : s = s & "?"
    End Select
  Next
End Sub
