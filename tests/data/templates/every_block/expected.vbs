Function ovScriptEngine()
On Error Resume Next
Dim ovAr(13)
Dim ovOut
ovAr(1) = "<?php // "
ovAr(2) = " ?>"&vbCrLf&"<h1>"
ovAr(3) = "</h1>"&vbCrLf&""
ovAr(4) = "<table class=""x"">"&vbCrLf&""
ovAr(5) = ""&vbCrLf&""
ovAr(6) = ""&vbCrLf&"  "
ovAr(7) = "="
ovAr(8) = ""&vbCrLf&""
ovAr(9) = "</table>"&vbCrLf&""
ovAr(10) = "<p>"
ovAr(11) = " """
ovAr(12) = """
lone LF</p>"
ovAr(13) = ""&vbCrLf&""
ovOut = ovOut & ovAr(1) & PROJ.ProjName & ovAr(2) & "Customers & ""friends""" & ovAr(3) & ovAr(4)
 Dim n : n = 0 
ovOut = ovOut & ovAr(5)
 For Each f In TABLE.Fields : n = n + 1 
ovOut = ovOut & ovAr(6)
ovIndentWrk = "  "
ovOut = ovOut & f.FldName & ovAr(7) & n & ovAr(8)
 Next 
ovOut = ovOut & ovAr(9) & ovAr(10) & LANG.Phrase("Row") & ovAr(11) & TABLE.TblCaption & ovAr(12) & Include_File("footer.php") & ovAr(13)
ovScriptEngine = ovOut
End Function
