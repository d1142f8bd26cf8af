<!--##= TABLE.TblCaption ##-->|<!--##=TABLE.TblName##-->
  <!--##~TABLE.TblCaption##-->
