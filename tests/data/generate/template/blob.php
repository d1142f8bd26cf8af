<?php // blob of <!--##=TABLE.TblName##-->.<!--##=FIELD.FldName##--> as <!--##=SCRPT.FieldVar##-->
