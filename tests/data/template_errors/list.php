<!--##session head##-->
<html>
<h1><!--##=TABLE.TblCaption##--></h1>
<!--##/session##-->
<!--##session rows##-->
<table>
<!--##include parts.php/row##-->
</table>
<!--##/session##-->
