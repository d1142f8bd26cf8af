// list script of v_titles
function rows() { return "v_titleslist.php"; }
</head>
