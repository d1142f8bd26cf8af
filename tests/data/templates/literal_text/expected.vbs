Function ovScriptEngine()
On Error Resume Next
Dim ovAr(3)
Dim ovOut
ovAr(1) = "<a href=""x"">"""" 'q'</a>
lone LFlone CR"
ovAr(2) = ""&vbCrLf&""
ovAr(3) = ""&vbCrLf&""&vbCrLf&""""
ovOut = ovOut & ovAr(1) & 1 & ovAr(2) & 2 & ovAr(3)
ovScriptEngine = ovOut
End Function
