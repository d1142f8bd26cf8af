// list script of order items
function rows() { return "order_itemslist.php"; }
</head>
