<?php // login against <!--##=TABLE.TblName##--> (<!--##=PROJ.SecType##-->)
