' Dates: serial numbers, parts, DateSerial normalisation, DateAdd clamping, DateDiff boundaries.
d = #2/29/2024 13:45:30#
WScript.Echo Year(d), Month(d), Day(d), Hour(d), Minute(d), Second(d), Weekday(d)
' expect: 2024 2 29 13 45 30 5
WScript.Echo WeekdayName(1), WeekdayName(2, True), MonthName(12), MonthName(1, True), Weekday(d, vbMonday)
' expect: Sunday Mon December Jan 4
WScript.Echo DateSerial(2023, 13, 1), DateSerial(2023, 0, 1), DateSerial(2024, 3, 0), DateSerial(99, 1, 1)
' expect: 1/1/2024 12/1/2022 2/29/2024 1/1/1999
WScript.Echo TimeSerial(13, 5, 0), TimeSerial(0, 90, 0)
' expect: 1:05:00 PM 1:30:00 AM
WScript.Echo DateAdd("yyyy", 1, #2/29/2024#), DateAdd("m", 1, #1/31/2023#), DateAdd("d", -1, #3/1/2024#)
' expect: 2/28/2025 2/28/2023 2/29/2024
WScript.Echo DateAdd("h", 12, #1/1/2024 6:00:00 PM#), DateAdd("ww", 2, #1/1/2024#), DateAdd("q", 1, #11/30/2023#)
' expect: 1/2/2024 6:00:00 AM 1/15/2024 2/29/2024
WScript.Echo DateDiff("yyyy", #12/31/2023#, #1/1/2024#), DateDiff("d", #1/1/2024#, #3/1/2024#), DateDiff("m", #1/31/2024#, #2/1/2024#)
' expect: 1 60 1
WScript.Echo DateDiff("h", #1/1/2024 11:59:00 PM#, #1/2/2024#), DateDiff("s", #1/1/2024#, #1/1/2024 00:01:00#), DateDiff("d", #3/1/2024#, #1/1/2024#)
' expect: 1 60 -60
WScript.Echo DateDiff("ww", #1/6/2024#, #1/7/2024#), DateDiff("w", #1/1/2024#, #1/15/2024#)
' expect: 1 2
WScript.Echo DatePart("yyyy", d), DatePart("q", d), DatePart("y", d), DatePart("ww", #1/7/2024#)
' expect: 2024 1 60 2
WScript.Echo DateValue("2024-02-29 10:00"), TimeValue("2024-02-29 10:30:00")
' expect: 2/29/2024 10:30:00 AM
WScript.Echo CDate("March 5, 2024"), CDate("5 Mar 2024"), CDate(45000)
' expect: 3/5/2024 3/5/2024 3/15/2023
WScript.Echo TypeName(Now), TypeName(Date), TypeName(Time), TypeName(Timer), Date <= Now
' expect: Date Date Date Single True
WScript.Echo #1/2/2024# - #1/1/2024#, TypeName(#1/1/2024# + 1), #1/1/2024# + 1
' expect: 1 Date 1/2/2024
WScript.Echo IsNull(Year(Null)), #1/1/2024# < #1/2/2024#
' expect: True True
On Error Resume Next
x = DateAdd("zz", 1, Now)
WScript.Echo Err.Number
' expect: 5
