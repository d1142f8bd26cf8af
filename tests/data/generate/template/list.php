<!--##session head##-->

<?php
// <!--##=SCRPT.TableName##--> (<!--##=SCRPT.TableType##-->) key "<!--##=SCRPT.TableKey##-->"
// sort <!--##=SCRPT.TableSortField##--> <!--##=SCRPT.TableSortOrder##-->


$edit = <!--##=LCase(CStr(SCRPT.TableCanEdit))##-->;
$view = <!--##=LCase(CStr(SCRPT.TableCanView))##-->;
$upload = <!--##=LCase(CStr(SCRPT.TableHasUpload))##-->;
$search = "<!--##=SCRPT.TableBasicSearch##-->/<!--##=SCRPT.TableAdvancedSearch##-->";
?>
<html><head><title><!--##@ListTitle##--> <!--##=TABLE.TblCaption##--></title></head>
<!--##/session##-->
<!--##session rows##-->
<body>
<!--## Dim other: Set other = DB.Tables("customers") ##-->
<table>
<!--## Dim i, f: For i = 1 To TABLE.Fields.Count: Set f = TABLE.Fields.Seq(i) ##-->
  <th><!--##=f.FldCaption##--><!--## If f.FldIsPrimaryKey Then ##--> (key)<!--## End If ##--></th>
<!--## Next ##-->
</table>
<a href="<!--##=SCRPT.PageName("edit")##-->">edit</a>
<script src="<!--##=SCRPT.PageName("js", True)##-->"></script>
<a href="<!--##=SCRPT.TablePageName("list", "customers")##-->">customers</a>
<!--## Dim d: For Each d In SCRPT.DetailTables ##-->
<a href="<!--##=SCRPT.TablePageName("list", d.TblName)##-->">detail <!--##=d.TblCaption##--></a>
<!--## Next ##-->
<!--## If SCRPT.TableHasUpload Then ##-->
<a href="<!--##=SCRPT.FieldPageName("blobview", "data")##-->">blob</a>
<!--## End If ##-->
<!--##/session##-->
<!--##session secure##-->
<a href="<!--##=SCRPT.PageName("login")##-->">login</a> <a href="<!--##=SCRPT.PageName("logout")##-->">logout</a>
<!--##/session##-->
<!--##session never##-->never<!--##/session##-->
