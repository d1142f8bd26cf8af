<?php

// log_entries (TABLE) key ""
// sort  

$edit = false;
$view = false;
$upload = false;
$search = "True/False";
?>
<html><head><title>List of log_entries</title><meta name="generator" content="Zantrel v@VERSION@" />
</head>
<body>
<table>
  <th>at</th>
  <th>message</th>
</table>
<a href="log_entriesedit.php">edit</a>
<script src="log_entries.js"></script>
<a href="customerslist.php">customers</a>
<a href="login.php">login</a> <a href="logout.php">logout</a>
<!-- footer -->
</body></html>
