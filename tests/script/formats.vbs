' Format functions in the en-US locale.
WScript.Echo FormatNumber(1234.567), FormatNumber(1234.5, 0), FormatNumber(0.5, 2, False)
' expect: 1,234.57 1,235 .50
WScript.Echo FormatNumber(-1234.5, 1, True, True, True), FormatNumber(1234567, 2, True, False, False)
' expect: (1,234.5) 1234567.00
WScript.Echo FormatCurrency(1234.5), FormatCurrency(-3), FormatPercent(0.256), FormatPercent(0.5, 0)
' expect: $1,234.50 ($3.00) 25.60% 50%
d = #3/5/2024 2:07:09 PM#
WScript.Echo FormatDateTime(d), "|", FormatDateTime(d, 1), "|", FormatDateTime(d, 2)
' expect: 3/5/2024 2:07:09 PM | Tuesday, March 5, 2024 | 3/5/2024
WScript.Echo FormatDateTime(d, 3), FormatDateTime(d, 4)
' expect: 2:07:09 PM 14:07
