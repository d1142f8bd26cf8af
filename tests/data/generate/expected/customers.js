// list script of customers
function rows() { return "customerslist.php"; }
</head>
