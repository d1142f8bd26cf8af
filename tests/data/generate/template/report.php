<?php // report <!--##=TABLE.TblName##--> from <!--##=TABLE.TblRptSrc##-->
<!--## Dim i: For i = 1 To TABLE.Fields.Count ##-->// <!--##=TABLE.Fields.Seq(i).FldName##-->
<!--## Next ##-->
