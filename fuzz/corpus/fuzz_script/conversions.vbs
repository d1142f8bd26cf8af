v = CInt("42") + CDbl("1.5") + CLng(3)
Sub Convert()
  Dim r
  r = CStr(CBool("True")) & CByte(255) & Hex(255) & Oct(8) & Fix(-2.5) & Int(-2.5) & Round(2.5) & Abs(-1)
  r = r & IsNumeric("1e3") & IsEmpty(Empty) & IsNull(Null) & IsDate("2024-02-29") & VarType(r) & TypeName(1.5)
  r = r & DateSerial(2024, 2, 29) & DateAdd("m", 1, #2024-01-31#) & DateDiff("d", #2024-01-01#, #2024-03-01#)
  r = r & Year(#2020-12-31#) & Weekday(#2020-12-31#) & FormatNumber(1234.5678, 2) & Sqr(16) & (7 \ 2) & (2 ^ 10)
  r = r & CLng("&HFF") & (1 = 1.0) & ("a" < "b") & (Null & "x") & (True And Not False Or False Xor True)
End Sub
