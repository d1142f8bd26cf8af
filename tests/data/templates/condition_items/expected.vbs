Function ovScriptEngine()
On Error Resume Next
Dim ovAr(8)
Dim ovOut
ovAr(1) = "three;"
ovAr(2) = "five;"
ovAr(3) = "many;"
ovAr(4) = "in;"
ovAr(5) = "ctrl;"
ovAr(6) = "unknown_op;"
ovAr(7) = "unknown_scope;"
ovAr(8) = "numeric;"
ovOut = ovOut & ovAr(1) & ovAr(2) & ovAr(3) & ovAr(4) & ovAr(5) & ovAr(6) & ovAr(7) & ovAr(8)
ovScriptEngine = ovOut
End Function
