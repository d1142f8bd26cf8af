' Conversions: banker's rounding, ranges, text forms, Is… tests, TypeName/VarType.
WScript.Echo CInt(2.5), CInt(3.5), CInt(-2.5), CLng(1.5), Round(2.5), Round(0.125, 2)
' expect: 2 4 -2 2 2 0.12
WScript.Echo Int(-1.5), Fix(-1.5), Int(1.9), Fix(1.9), TypeName(Int(2.5))
' expect: -2 -1 1 1 Double
WScript.Echo Round(2.675, 2), Round(-0.5), Round(1.23456, 3)
' expect: 2.68 0 1.235
WScript.Echo CStr(0.1 + 0.2), CStr(1 / 3), CStr(1E+20), CStr(123456789012345678)
' expect: 0.3 0.333333333333333 1E+20 1.23456789012346E+17
WScript.Echo CBool("true"), CBool("False"), CBool(0), CBool(-3), CStr(True)
' expect: True False False True True
WScript.Echo CDbl("1.5"), CLng(" 12 "), CInt("&H10"), CByte(255), CCur(1.23456)
' expect: 1.5 12 16 255 1.2346
WScript.Echo TypeName(CCur(1)), TypeName(CDate("2020-01-02")), TypeName(CByte(1)), TypeName(CSng(1))
' expect: Currency Date Byte Single
WScript.Echo CLng(DateSerial(1900, 1, 1)), CDbl(#1/1/1900 12:00:00 PM#)
' expect: 2 2.5
WScript.Echo IsNumeric(" 1 "), IsNumeric("1e3"), IsNumeric("&H10"), IsNumeric(Empty), IsNumeric(""), IsNumeric("x")
' expect: True True True True False False
WScript.Echo IsDate("2024-02-29"), IsDate("2023-02-29"), IsDate(42), IsEmpty(Empty), IsEmpty(""), IsNull(Null)
' expect: True False False True False True
WScript.Echo TypeName(Empty), TypeName(Null), TypeName(1), TypeName(1.5), TypeName("s"), TypeName(Nothing)
' expect: Empty Null Integer Double String Nothing
WScript.Echo VarType(Empty), VarType(Null), VarType("s"), VarType(True), VarType(CreateObject("Scripting.Dictionary"))
' expect: 0 1 8 11 9
WScript.Echo IsObject(Nothing), IsObject(1), IsArray(Array()), TypeName(Array(1))
' expect: True False True Variant()
On Error Resume Next
x = CBool("yes")
WScript.Echo Err.Number
' expect: 13
Err.Clear
x = CInt("")
WScript.Echo Err.Number
' expect: 13
Err.Clear
x = CLng(3000000000)
WScript.Echo Err.Number
' expect: 6
Err.Clear
x = CByte(-1)
WScript.Echo Err.Number
' expect: 6
Err.Clear
x = CStr(Null)
WScript.Echo Err.Number
' expect: 94
