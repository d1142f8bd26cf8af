' Err.Raise: HRESULT numbers map to VBScript's, the help file and context stay.
On Error Resume Next
Err.Raise &H8007000E
WScript.Echo Err.Number, Err.Description
' expect: 7 Out of memory
Err.Raise &H800A00AA
WScript.Echo Err.Number
' expect: 170
Err.Raise &H800A000B
WScript.Echo Err.Number, Err.Description
' expect: 11 Division by zero
Err.Clear
Err.Raise &H10000
WScript.Echo Err.Number
' expect: 5
Err.Raise 1234, "src", "text", "help.chm", 42
WScript.Echo Err.Number, Err.Source, Err.Description, Err.HelpFile, Err.HelpContext
' expect: 1234 src text help.chm 42
Err.Clear
WScript.Echo "[" & Err.HelpFile & "]", Err.HelpContext
' expect: [] 0
Err.HelpFile = "other.chm"
Err.HelpContext = 7
WScript.Echo Err.HelpFile, Err.HelpContext
' expect: other.chm 7
Err.Raise vbObjectError + 513
WScript.Echo Err.Number - vbObjectError, Err.Description
' expect: 513 Unknown runtime error
x = 1 / 0
WScript.Echo Err.Number, "[" & Err.HelpFile & "]"
' expect: 11 []
