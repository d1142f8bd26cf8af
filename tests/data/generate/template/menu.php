<h1><!--##@Menu##--></h1>
<!--## Dim t: For Each t In DB.Tables: If t.TblGen Then ##-->
<a href="<!--##=SCRPT.TablePageName("list", t.TblName)##-->"><!--##=t.TblCaption##--></a>
<!--## End If: Next ##-->
</body></html>
