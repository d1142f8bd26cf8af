' WScript.Quit ends the script with its exit code, even inside procedures and handlers.
' exit: 3
Sub Leave()
  On Error Resume Next
  WScript.Quit 3
  WScript.Echo "not here"
End Sub
WScript.Echo "start"
' expect: start
Leave
WScript.Echo "not here either"
