<?php

// orders (TABLE) key "order_id"
// sort  

$edit = true;
$view = true;
$upload = false;
$search = "True/False";
?>
<html><head><title>List of orders</title><meta name="generator" content="Zantrel v@VERSION@" />
</head>
<body>
<table>
  <th>order id (key)</th>
  <th>customer id</th>
  <th>placed</th>
</table>
<a href="ordersedit.php">edit</a>
<script src="orders.js"></script>
<a href="customerslist.php">customers</a>
<a href="login.php">login</a> <a href="logout.php">logout</a>
<!-- footer -->
</body></html>
