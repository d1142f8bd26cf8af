<html><head><title>shop</title><meta name="generator" content="Zantrel v@VERSION@" />
</head><body>
<?php $db = "@DB@"; $ext = "php"; ?>
<h1>Menu</h1>
<a href="customerslist.php">customers</a>
<a href="log_entrieslist.php">log_entries</a>
<a href="order_itemslist.php">order items</a>
<a href="orderslist.php">orders</a>
<a href="type_zoolist.php">type_zoo</a>
<a href="v_titleslist.php">v_titles</a>
<a href="rpt_orderslist.php">rpt_orders</a>
</body></html>
