' Compile errors of dynamic code carry VBScript's numbers and texts.
Sub Check(code)
  On Error Resume Next
  ExecuteGlobal code
  WScript.Echo Err.Number & " " & Err.Description
End Sub
Check "x = "
' expect: 1023 Expected expression
Check "If x Then"
' expect: 1014 Expected 'End'
Check "For i = 1 To"
' expect: 1023 Expected expression
Check "x = ""abc"
' expect: 1033 Unterminated string constant
Check "Dim 5"
' expect: 1010 Expected identifier
Check "Do" & vbCrLf & "Next"
' expect: 1019 Expected 'Loop'
Check "x = (1"
' expect: 1006 Expected ')'
Check "Exit For"
' expect: 1039 Invalid 'exit' statement
Check "Sub A(" & vbCrLf & "End Sub"
' expect: 1010 Expected identifier
Check "Class C" & vbCrLf & "x = 1" & vbCrLf & "End Class"
' expect: 1024 Expected statement
Check "Const c = x"
' expect: 1045 Expected literal constant
Check "x = 1 +* 2"
' expect: 1023 Expected expression
Check "y = @"
' expect: 1032 Invalid character
Check "Option Explicit"
' expect: 0 
Check "x = 1 : Option Explicit"
' expect: 1042 Must be first statement on the line
Check "While True" & vbCrLf & "Loop"
' expect: 1018 Expected 'Wend'
Check "Select Case 1" & vbCrLf & "Case 1" & vbCrLf & "End If"
' expect: 1022 Expected 'Select'
Check "Dim q : Dim q"
' expect: 1041 Name redefined
