Function ovScriptEngine()
On Error Resume Next
Dim ovAr(0)
Dim ovOut
ovScriptEngine = ovOut
End Function
