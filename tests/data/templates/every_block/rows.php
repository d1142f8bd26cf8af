<!--##session rows##--><p><!--##$ "Row" ##--> "<!--##=TABLE.TblCaption##-->"
lone LF</p><!--##/session##-->