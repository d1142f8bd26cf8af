<?php

// order items (TABLE) key "order_id,item_no"
// sort  

$edit = true;
$view = true;
$upload = false;
$search = "True/False";
?>
<html><head><title>List of order items</title><meta name="generator" content="Zantrel v@VERSION@" />
</head>
<body>
<table>
  <th>order id (key)</th>
  <th>item no (key)</th>
  <th>grö ße</th>
  <th>qty</th>
</table>
<a href="order_itemsedit.php">edit</a>
<script src="order_items.js"></script>
<a href="customerslist.php">customers</a>
<a href="login.php">login</a> <a href="logout.php">logout</a>
<!-- footer -->
</body></html>
