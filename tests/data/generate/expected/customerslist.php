<?php

// customers (TABLE) key "customer_id"
// sort  

$edit = true;
$view = true;
$upload = false;
$search = "True/False";
?>
<html><head><title>List of customers</title><meta name="generator" content="Zantrel v@VERSION@" />
</head>
<body>
<table>
  <th>customer id (key)</th>
  <th>name</th>
  <th>city</th>
</table>
<a href="customersedit.php">edit</a>
<script src="customers.js"></script>
<a href="customerslist.php">customers</a>
<a href="orderslist.php">detail orders</a>
<a href="login.php">login</a> <a href="logout.php">logout</a>
<!-- footer -->
</body></html>
