// list script of type_zoo
function rows() { return "type_zoolist.php"; }
</head>
