' An uncaught run-time error ends the script with its place on stderr.
WScript.Echo "before"
' expect: before
x = 10
y = x / 0
WScript.Echo "after"
' error: error_runtime.vbs(5, 1) Microsoft VBScript runtime error: Division by zero
