' A group inside a repeated group starts each repetition unset, as in JavaScript.
Set re = New RegExp
re.Pattern = "(?:(a)|b)+"
Set m = re.Execute("ab")
WScript.Echo m(0).Value, IsEmpty(m(0).SubMatches(0))
' expect: ab True
re.Pattern = "((a)|(b))+"
Set m = re.Execute("ab")
WScript.Echo m(0).SubMatches(0), IsEmpty(m(0).SubMatches(1)), m(0).SubMatches(2)
' expect: b True b
re.Pattern = "(z)((a+)?(b+)?(c))*"
Set m = re.Execute("zaacbbbcac")
Set s = m(0).SubMatches
WScript.Echo s(0), s(1), s(2), IsEmpty(s(3)), s(4)
' expect: z ac a True c
re.Pattern = "(?:(x)|y){2}"
WScript.Echo re.Replace("xy", "[$1]")
' expect: []
re.Pattern = "(a)+"
WScript.Echo re.Replace("aaa", "<$1>")
' expect: <a>
