' Logical operators: bitwise on numbers, Boolean on Booleans, Null rules, no short circuit.
WScript.Echo Not 1, Not 0, Not True, TypeName(Not 1)
' expect: -2 -1 False Integer
WScript.Echo 6 And 3, 6 Or 3, 6 Xor 3
' expect: 2 7 5
WScript.Echo True And False, True Or False, True Xor True
' expect: False True False
WScript.Echo True Eqv True, False Imp True, True Imp False
' expect: True True False
WScript.Echo False And Null, True Or Null, IsNull(True And Null), IsNull(Not Null)
' expect: False True True True
Dim calls
Function Touch(v)
  calls = calls + 1
  Touch = v
End Function
calls = 0
If Touch(False) And Touch(True) Then WScript.Echo "no"
WScript.Echo calls
' expect: 2
WScript.Echo Not 1 = 2, 1 = 1 And 2 = 2
' expect: True True
WScript.Echo &HFF And &H0F, TypeName(CLng(1) And 1)
' expect: 15 Long
