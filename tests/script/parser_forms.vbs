' Forms the parser accepts: omitted arguments, one-line If with a colon, the
' >< operator, & before a name, tiny exponents, procedures in blocks and on one
' line, a procedure declared twice, words that are names, parenthesised callees.
WScript.Echo FormatNumber(1.5, 2, , , False)
' expect: 1.50
WScript.Echo FormatPercent(0.5, , False), FormatCurrency(-2, , , False), Mid("abcdef", 3, )
' expect: 50.00% -$2.00 cdef
Sub Three(a, b, c)
  WScript.Echo "[" & a & "|" & b & "|" & c & "]"
End Sub
If 1 = 1 Then : WScript.Echo "one-line then"
' expect: one-line then
If 1 = 2 Then : WScript.Echo "not shown"
If 1 = 1 Then :
  WScript.Echo "block then"
End If
' expect: block then
WScript.Echo 1 >< 2, 1 >< 1
' expect: True False
hi = "there"
WScript.Echo "x" &hi, "y"&hi
' expect: xthere ythere
WScript.Echo &H1F, &o17, 1e-400, TypeName(1e-400)
' expect: 31 15 0 Double
If True Then
  Function InsideIf(x)
    InsideIf = x * 2
  End Function
End If
WScript.Echo InsideIf(21)
' expect: 42
Sub OneLine(x) : WScript.Echo "one line " & x : End Sub
OneLine 7
' expect: one line 7
Function Twice()
  Twice = "first"
End Function
Function Twice()
  Twice = "last"
End Function
WScript.Echo Twice()
' expect: last
Property = 1 : Default = 2 : Error = 3 : Step = 4
WScript.Echo Property + Default + Error + Step
' expect: 10
For Step = 1 To 3 Step 2
Next
WScript.Echo Step
' expect: 5
Class Words
  Public Property, Default, Error, Step, [Rem]
  Public Function [True]()
    [True] = "member true"
  End Function
End Class
Set w = New Words
w.Property = "p" : w.Default = "d" : w.Error = "e" : w.Step = "s" : w.rem = "r"
WScript.Echo w.Property & w.Default & w.Error & w.Step & w.rem, w.true
' expect: pdesr member true
Function Pair()
  Pair = Array("a", "b", "c")
End Function
x = (Pair)(2) & (Pair())(1)
WScript.Echo x
' expect: cb
Set d = CreateObject("Scripting.Dictionary")
d.Add "k", "v"
Set r = GetRef("Three")
Call (r)(4, 5, 6)
' expect: [4|5|6]
x = (d)("k")
WScript.Echo x
' expect: v
