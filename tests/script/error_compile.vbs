' A syntax error stops the script before anything runs.
WScript.Echo "never printed"
If x Then
  y = 1
' error: error_compile.vbs(6, 1) Microsoft VBScript compilation error: Expected 'End'
