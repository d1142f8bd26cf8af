Function ovScriptEngine()
On Error Resume Next
Dim ovAr(4)
Dim ovOut
ovAr(1) = "same_table;"
ovAr(2) = "blank_before;"
ovAr(3) = "number;"
ovAr(4) = "field;"
ovOut = ovOut & ovAr(1) & ovAr(2) & ovAr(3) & ovAr(4)
ovScriptEngine = ovOut
End Function
