<?php
// <!--##=TABLE.TblName##--> list page
session_start();
include_once "db.php";
include_once "phpfn.php";
$table = "<!--##=TABLE.TblName##-->";
$caption = "<!--##=TABLE.TblCaption##-->";
$startRec = isset($_GET["start"]) ? intval($_GET["start"]) : 1;
$displayRecs = <!--##=PROJ.RecPerPage##-->;
$conn = db_connect();
$fields = array(<!--## For Each f In TABLE.Fields ##-->
	"<!--##=f.FldName##-->" => array("caption" => "<!--##=f.FldCaption##-->", "type" => <!--##=f.FldType##-->),<!--## Next ##-->
);
$where = "";
if (isset($_GET["psearch"]) && $_GET["psearch"] != "") {
	$kw = db_escape($conn, $_GET["psearch"]);
	$parts = array();<!--## For Each f In TABLE.Fields ##--><!--## If f.FldType = 200 Or f.FldType = 201 Then ##-->
	$parts[] = "`<!--##=f.FldName##-->` LIKE '%" . $kw . "%'";<!--## End If ##--><!--## Next ##-->
	$where = implode(" OR ", $parts);
}
$order = "";
if (isset($_GET["order"])) {
	switch ($_GET["order"]) {<!--## For Each f In TABLE.Fields ##-->
	case "<!--##=f.FldName##-->":
		$order = "`<!--##=f.FldName##-->`";
		break;<!--## Next ##-->
	}
}
$sql = "SELECT * FROM `<!--##=TABLE.TblName##-->`";
if ($where != "") $sql .= " WHERE " . $where;
if ($order != "") $sql .= " ORDER BY " . $order;
$rs = db_query($conn, $sql);
$totalRecs = db_num_rows($rs);
?>
<html>
<head><title><!--##=TABLE.TblCaption##--></title></head>
<body>
<h1><!--##=TABLE.TblCaption##--></h1>
<form action="<!--##=TABLE.TblName##-->list.php" method="get">
<input type="text" name="psearch" value="<?php echo htmlspecialchars(@$_GET["psearch"]) ?>">
<input type="submit" value="Search">
</form>
<table class="list">
<tr class="header">
<td>&nbsp;</td><!--## For Each f In TABLE.Fields ##-->
<td>
	<a href="<!--##=TABLE.TblName##-->list.php?order=<!--##=f.FldName##-->"><!--##=f.FldCaption##--></a>
</td><!--## Next ##-->
</tr>
<?php
$recCount = 0;
while ($row = db_fetch($rs)) {
	$recCount++;
	if ($recCount < $startRec) continue;
	if ($recCount >= $startRec + $displayRecs) break;<!--## For Each f In TABLE.Fields ##-->
	$x_<!--##=f.FldName##--> = $row["<!--##=f.FldName##-->"];<!--## Next ##-->
?>
<tr class="<?php echo ($recCount % 2 == 0) ? "even" : "odd" ?>">
<td><a href="<!--##=TABLE.TblName##-->view.php?key=<?php echo urlencode($x_<!--##=TABLE.TblKey##-->) ?>">View</a></td><!--## For Each f In TABLE.Fields ##-->
<td<!--## If f.FldType = 3 Or f.FldType = 131 Then ##--> align="right"<!--## End If ##-->>
<?php echo <!--## If f.FldType = 135 Then ##-->FormatDateTime($x_<!--##=f.FldName##-->, 5)<!--## Else ##-->htmlspecialchars($x_<!--##=f.FldName##-->)<!--## End If ##--> ?>
</td><!--## Next ##-->
</tr>
<?php
}
?>
</table>
<div class="pager">
<?php if ($startRec > 1) { ?>
<a href="<!--##=TABLE.TblName##-->list.php?start=<?php echo $startRec - $displayRecs ?>">Prev</a>
<?php } ?>
<?php if ($startRec + $displayRecs <= $totalRecs) { ?>
<a href="<!--##=TABLE.TblName##-->list.php?start=<?php echo $startRec + $displayRecs ?>">Next</a>
<?php } ?>
</div>
<form action="<!--##=TABLE.TblName##-->list.php" method="get" class="advanced"><!--## For Each f In TABLE.Fields ##-->
<div class="row">
	<label for="x_<!--##=f.FldName##-->"><!--##=f.FldCaption##--></label>
	<input type="text" name="x_<!--##=f.FldName##-->" id="x_<!--##=f.FldName##-->" maxlength="<!--##=f.FldSize##-->">
</div><!--## Next ##-->
<input type="submit" value="Search">
</form>
</body>
</html>
