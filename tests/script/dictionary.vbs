' Scripting.Dictionary: order, missing keys, CompareMode, errors, For Each.
Set d = CreateObject("Scripting.Dictionary")
d.Add "b", 2
d.Add "a", 1
d("c") = 3
WScript.Echo d.Count, Join(d.Keys, ","), Join(d.Items, ",")
' expect: 3 b,a,c 2,1,3
WScript.Echo d.Exists("a"), d.Exists("A"), d.Item("b"), d("a")
' expect: True False 2 1
x = d("missing")
WScript.Echo d.Count, IsEmpty(x), d.Exists("missing")
' expect: 4 True True
d.Remove "missing"
d.Key("a") = "z"
WScript.Echo Join(d.Keys, ",")
' expect: b,z,c
s = ""
For Each k In d
  s = s & k & "=" & d(k) & " "
Next
WScript.Echo s
' expect: b=2 z=1 c=3 
d.RemoveAll
WScript.Echo d.Count
' expect: 0
d.CompareMode = 1
d.Add "Key", "v"
WScript.Echo d.Exists("KEY"), d("key")
' expect: True v
Set n = CreateObject("Scripting.Dictionary")
n.Add 1, "one"
n.Add "1", "text one"
WScript.Echo n(1), n("1"), n(1.0), n.Count
' expect: one text one one 2
Set o = CreateObject("Scripting.Dictionary")
Set n("obj") = o
WScript.Echo TypeName(n("obj")), n("obj") Is o
' expect: Dictionary True
On Error Resume Next
d.Add "key", 1
WScript.Echo Err.Number, Err.Description
' expect: 457 This key is already associated with an element of this collection
Err.Clear
d.Remove "nope"
WScript.Echo Err.Number
' expect: 32811
Err.Clear
d.CompareMode = 0
WScript.Echo Err.Number
' expect: 5
Err.Clear
Set f = CreateObject("Scripting.FileSystemObject")
WScript.Echo Err.Number
' expect: 429
