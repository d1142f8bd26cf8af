Function ovScriptEngine()
On Error Resume Next
Dim ovAr(3)
Dim ovOut
ovAr(1) = "|"
ovAr(2) = ""&vbCrLf&"  "
ovAr(3) = ""&vbCrLf&""
ovOut = ovOut & USER_TABLE_TblCaption(TABLE.TblCaption) & ovAr(1) & TABLE.TblName & ovAr(2)
ovIndentWrk = "  "
ovOut = ovOut & USER_TABLE_TblCaption(TABLE.TblCaption) & ovAr(3)
ovScriptEngine = ovOut
End Function
