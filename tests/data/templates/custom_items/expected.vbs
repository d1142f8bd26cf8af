Function ovScriptEngine()
On Error Resume Next
Dim ovAr(5)
Dim ovOut
ovAr(1) = "string;"
ovAr(2) = "long;"
ovAr(3) = "boolean;"
ovAr(4) = "untyped;"
ovAr(5) = "three;"
ovOut = ovOut & ovAr(1) & ovAr(2) & ovAr(3) & ovAr(4) & ovAr(5)
ovScriptEngine = ovOut
End Function
