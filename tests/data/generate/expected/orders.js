// list script of orders
function rows() { return "orderslist.php"; }
</head>
