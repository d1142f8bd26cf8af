Function ovScriptEngine()
On Error Resume Next
Dim ovAr(0)
Dim ovOut
ovOut = ovOut & 1 & 2 & "Say ""hi""" & LANG.Phrase("Hi") & 3
 x = 4 
ovOut = ovOut & x
ovScriptEngine = ovOut
End Function
