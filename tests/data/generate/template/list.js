
// list script of <!--##=SCRPT.TableName##-->
function rows() { return "<!--##=SCRPT.PageName("list")##-->"; }
</head>
