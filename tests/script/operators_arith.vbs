' Arithmetic: type promotion, + versus &, division, \ and Mod rounding, ^.
WScript.Echo TypeName(32767 + 1), 32767 + 1
' expect: Long 32768
WScript.Echo TypeName(2147483647 + 1), 2147483647 + 1
' expect: Double 2147483648
WScript.Echo TypeName(1 + 1), TypeName(CByte(200) + CByte(100))
' expect: Integer Integer
WScript.Echo TypeName(-32768 * -1)
' expect: Long
WScript.Echo "1" + 1, TypeName("1" + 1)
' expect: 2 Double
WScript.Echo "1" + "1", "1" & 1
' expect: 11 11
WScript.Echo TypeName(Empty + Empty), Empty + 5
' expect: Integer 5
WScript.Echo IsNull(Null + 1), IsNull(Null * 0)
' expect: True True
WScript.Echo TypeName(10 / 2), 10 / 4
' expect: Double 2.5
WScript.Echo 7.5 \ 2, 6.5 \ 2, -7 \ 2
' expect: 4 3 -3
WScript.Echo -7 Mod 3, 7 Mod -3, 5.5 Mod 3
' expect: -1 1 0
WScript.Echo -3 ^ 2, 2 ^ 3 ^ 2, 2 ^ -1
' expect: 9 64 0.5
WScript.Echo 1 + 2 * 3, (1 + 2) * 3, 10 - 2 - 3, 2 * 3 Mod 4
' expect: 7 9 5 2
WScript.Echo 0.1 + 0.2, 1 / 3
' expect: 0.3 0.333333333333333
WScript.Echo True + True, TypeName(True + 1)
' expect: -2 Integer
WScript.Echo -(-32768), TypeName(-(-32768))
' expect: 32768 Long
On Error Resume Next
x = "a" + 1
WScript.Echo Err.Number, Err.Description
' expect: 13 Type mismatch
Err.Clear
x = 1 / 0
WScript.Echo Err.Number, Err.Description
' expect: 11 Division by zero
Err.Clear
x = 5 \ 0
WScript.Echo Err.Number
' expect: 11
Err.Clear
x = 5 Mod 0
WScript.Echo Err.Number
' expect: 11
Err.Clear
x = CInt(40000)
WScript.Echo Err.Number, Err.Description
' expect: 6 Overflow
