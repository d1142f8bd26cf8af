' Literals and layout: hex/octal, dates, continuation, colons, comments, case.
WScript.Echo &HFFFF, &HFFFF&, &H10, &O17, 010
' expect: -1 65535 16 15 10
WScript.Echo TypeName(&HFFFF), TypeName(&HFFFF&), TypeName(40000)
' expect: Integer Long Long
WScript.Echo #12/25/2023#, TypeName(#2023-12-25#)
' expect: 12/25/2023 Date
WScript.Echo "a" & _
  "b" & _
  "c"
' expect: abc
x = 1 : y = 2 : WScript.Echo x + y
' expect: 3
Rem a comment line
WScript.Echo "say ""hi""" ' trailing comment
' expect: say "hi"
wscript.echo UCASE("mixed") : DIM Z : z = 5 : WScript.Echo Z
' expect: MIXED
' expect: 5
WScript.Echo 1.5E3, .5, 3.
' expect: 1500 0.5 3
WScript.Echo Empty & "|" & vbNullString & "|", IsEmpty(Empty)
' expect: || True
s = "line1
line2"
WScript.Echo Len(s)
' expect: 11
Dim [my var]
[my var] = 7
WScript.Echo [my var]
' expect: 7
