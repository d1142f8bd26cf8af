<!--##session header##--><?php
// <!--##=TABLE.TblName##--> <!--##=Controls.Item(Controls.curIndex).CtrlID##--> page
session_start();
include_once "db.php";
include_once "phpfn.php";
$table = "<!--##=TABLE.TblName##-->";
$key = @$_GET["key"];
$conn = db_connect();
?>
<html>
<head><title><!--##=TABLE.TblCaption##--></title></head>
<body>
<!--##/session##-->
<!--##session fields##--><!--## For Each f In TABLE.Fields ##-->
<tr>
	<td class="caption"><!--##=f.FldCaption##--></td>
	<td><!--##include pages.php/value##--></td>
</tr><!--## Next ##--><!--##/session##-->
<!--##session value##--><?php echo htmlspecialchars($row["<!--##=f.FldName##-->"]) ?><!--##/session##-->
<!--##session view##--><h1><!--##@View##--> <!--##=TABLE.TblCaption##--></h1>
<?php $row = db_fetch(db_query($conn, "SELECT * FROM `<!--##=TABLE.TblName##-->` WHERE `<!--##=TABLE.TblKey##-->` = " . db_quote($conn, $key))); ?>
<table class="view">
<!--##include pages.php/fields##-->
</table>
<!--##/session##-->
<!--##session form##--><h1><!--##$ Controls.Item(Controls.curIndex).CtrlID ##--> <!--##=TABLE.TblCaption##--></h1>
<form method="post">
<table class="form"><!--## For Each f In TABLE.Fields ##-->
<tr>
	<td><label for="x_<!--##=f.FldName##-->"><!--##=f.FldCaption##--></label></td>
	<td>
		<!--## If f.FldType = 201 Then ##--><textarea name="x_<!--##=f.FldName##-->"></textarea><!--## Else ##--><input type="text" name="x_<!--##=f.FldName##-->" maxlength="<!--##=f.FldSize##-->"><!--## End If ##-->
	</td>
</tr><!--## Next ##-->
</table>
<input type="submit" value="<!--##@Add##-->">
</form>
<!--##/session##-->
<!--##session delete##--><h1><!--##@Delete##--> <!--##=TABLE.TblCaption##--></h1>
<p><!--##@Confirm##--></p>
<table class="delete">
<!--##include pages.php/fields##-->
</table>
<form method="post"><input type="submit" value="<!--##@Delete##-->"></form>
<!--##/session##-->
<!--##session search##--><h1><!--##@Search##--> <!--##=TABLE.TblCaption##--></h1>
<form action="<!--##=TABLE.TblName##-->list.php" method="get"><!--## For Each f In TABLE.Fields ##-->
<div class="row"><label><!--##=f.FldCaption##--></label> <input type="text" name="x_<!--##=f.FldName##-->"></div><!--## Next ##-->
</form>
<!--##/session##-->
<!--##session footer##--></body>
</html>
<!--##/session##-->
