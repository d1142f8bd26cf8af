// list script of log_entries
function rows() { return "log_entrieslist.php"; }
</head>
