<?php

// type_zoo (TABLE) key "id"
// sort  

$edit = true;
$view = true;
$upload = true;
$search = "True/False";
?>
<html><head><title>List of type_zoo</title><meta name="generator" content="Zantrel v@VERSION@" />
</head>
<body>
<table>
  <th>id (key)</th>
  <th>small n</th>
  <th>big n</th>
  <th>price</th>
  <th>ratio</th>
  <th>score</th>
  <th>flag</th>
  <th>born</th>
  <th>created</th>
  <th>alarm</th>
  <th>code</th>
  <th>title</th>
  <th>body</th>
  <th>data</th>
  <th>uid</th>
  <th>doc</th>
  <th>status</th>
  <th>email</th>
</table>
<a href="type_zooedit.php">edit</a>
<script src="type_zoo.js"></script>
<a href="customerslist.php">customers</a>
<a href="type_zoo_dataview.php">blob</a>
<a href="login.php">login</a> <a href="logout.php">logout</a>
<!-- footer -->
</body></html>
