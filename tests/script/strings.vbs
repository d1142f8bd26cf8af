' String functions: characters not bytes, Null in Null out, bounds and compare modes.
WScript.Echo Len("héllo"), Left("héllo", 2), Right("héllo", 3), Mid("héllo", 2, 3)
' expect: 5 hé llo éll
WScript.Echo Mid("abc", 50) = "", Mid("abcdef", 3), Left("ab", 10)
' expect: True cdef ab
WScript.Echo IsNull(Len(Null)), IsNull(Left(Null, 1)), IsNull(UCase(Null)), IsNull(Mid(Null, 1))
' expect: True True True True
WScript.Echo Left("abcdef", 2.5), Left("abcdef", 3.5)
' expect: ab abcd
WScript.Echo InStr("abcabc", "c"), InStr(4, "abcabc", "c"), InStr("abc", "z"), InStr("abc", "")
' expect: 3 6 0 1
WScript.Echo InStr(1, "ABC", "b", 1), InStr(1, "ABC", "b", 0), InStr(3, "abc", "")
' expect: 2 0 3
WScript.Echo InStrRev("abcabc", "b"), InStrRev("abcabc", "b", 4), InStrRev("abc", "z")
' expect: 5 2 0
WScript.Echo Replace("aXbXc", "X", "-"), Replace("aXbXcX", "X", "-", 3), Replace("aXbXc", "X", "-", 1, 1)
' expect: a-b-c b-c- a-bXc
WScript.Echo Replace("Hello", "L", "_", 1, -1, 1), Replace("abc", "", "x")
' expect: He__o abc
WScript.Echo Replace("a'b\c", "'", "\'"), Replace("abc", "z", "y"), Replace(1231, 1, 9), Replace("aaa", "a", "bb", 1, 0)
' expect: a\'b\c abc 9239 aaa
WScript.Echo Replace("ÉtÉ été", "é", "e", 1, -1, 1), Replace("xßx", "SS", "-", 1, -1, 1)
' expect: ete ete xßx
WScript.Echo "[" & Trim("  a b  ") & "]", "[" & LTrim("  a ") & "]", "[" & RTrim(" a  ") & "]"
' expect: [a b] [a ] [ a]
WScript.Echo "[" & Trim(vbTab & "x" & vbTab) & "]" = "[" & vbTab & "x" & vbTab & "]"
' expect: True
WScript.Echo UCase("straße ü"), LCase("ÀÉÎ")
' expect: STRAßE Ü àéî
WScript.Echo "[" & Space(3) & "]", "[" & Space(5.5) & "]", String(3, "xy"), String(2, 65)
' expect: [   ] [      ] xxx AA
WScript.Echo StrComp("a", "B"), StrComp("a", "A", 1), StrComp("b", "a"), IsNull(StrComp(Null, "a"))
' expect: 1 0 1 True
WScript.Echo StrReverse("abc"), StrReverse("hé")
' expect: cba éh
WScript.Echo Asc("A"), AscW("é"), Chr(66), ChrW(233), ChrW(-16384) = ChrW(49152)
' expect: 65 233 B é True
WScript.Echo Hex(255), Hex(-1), Hex(CLng(-1)), Oct(8), Hex(65536)
' expect: FF FFFF FFFFFFFF 10 10000
parts = Split("a,b,,c", ",")
WScript.Echo UBound(parts), parts(2) = "", Join(parts, "|")
' expect: 3 True a|b||c
WScript.Echo Join(Split("a b c")), UBound(Split("a,b,c", ",", 2)), Split("a,b,c", ",", 2)(1)
' expect: a b c 1 b,c
WScript.Echo Join(Split("aXbxc", "x", -1, 1), "-")
' expect: a-b-c
WScript.Echo Join(Filter(Array("apple", "berry", "grape"), "ap"), ","), Join(Filter(Array("apple", "berry"), "ap", False), ",")
' expect: apple,grape berry
s = ""
For i = 1 To 3
  s = s & Chr(64 + i)
Next
WScript.Echo s, Len(s)
' expect: ABC 3
On Error Resume Next
x = Mid("abc", 0)
WScript.Echo Err.Number
' expect: 5
Err.Clear
x = Left("abc", -1)
WScript.Echo Err.Number
' expect: 5
Err.Clear
x = Asc("")
WScript.Echo Err.Number
' expect: 5
Err.Clear
x = Join(Array("a", Null))
WScript.Echo Err.Number
' expect: 13
