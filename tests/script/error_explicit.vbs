Option Explicit
' Option Explicit: an undeclared name fails at run time.
Dim known
known = 1
WScript.Echo known
' expect: 1
unknown = 2
' error: Microsoft VBScript runtime error: Variable is undefined: 'unknown'
