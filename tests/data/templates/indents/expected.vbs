Function ovScriptEngine()
On Error Resume Next
Dim ovAr(5)
Dim ovOut
ovAr(1) = ""&vbCrLf&"  "
ovAr(2) = ""&vbCrLf&"	 "
ovAr(3) = ""&vbCrLf&"x "
ovAr(4) = ""&vbCrLf&"text"
ovAr(5) = ""&vbCrLf&"  "&vbCrLf&"end"
ovIndentWrk = ""
ovOut = ovOut & "start" & ovAr(1)
ovIndentWrk = "  "
ovOut = ovOut & "two blanks" & ovAr(2)
ovIndentWrk = "	 "
ovOut = ovOut & "tab blank" & ovAr(3) & "a"
ovIndentWrk = ""
ovOut = ovOut & "after block" & ovAr(4)
ovIndentWrk = ""
ovOut = ovOut & "no indent" & ovAr(5)
ovScriptEngine = ovOut
End Function
