<?php

// v_titles (VIEW) key ""
// sort  

$edit = false;
$view = false;
$upload = false;
$search = "True/False";
?>
<html><head><title>List of v_titles</title><meta name="generator" content="Zantrel v@VERSION@" />
</head>
<body>
<table>
  <th>id</th>
  <th>title</th>
</table>
<a href="v_titlesedit.php">edit</a>
<script src="v_titles.js"></script>
<a href="customerslist.php">customers</a>
<a href="login.php">login</a> <a href="logout.php">logout</a>
<!-- footer -->
</body></html>
