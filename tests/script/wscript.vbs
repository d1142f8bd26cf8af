' The console host: Echo joins with blanks, StdOut.Write, Arguments.
' args: one "two words" 3
WScript.Echo "a", 1, True, Null
' expect: a 1 True Null
WScript.StdOut.Write "no line end"
WScript.StdOut.WriteLine " then one"
' expect: no line end then one
WScript.Echo WScript.Arguments.Count, WScript.Arguments(0), WScript.Arguments.Item(1)
' expect: 3 one two words
For Each a In WScript.Arguments
  WScript.StdOut.Write "[" & a & "]"
Next
WScript.Echo
' expect: [one][two words][3]
WScript.Echo
' expect:
WScript.Echo "end"
' expect: end
