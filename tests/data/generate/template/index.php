<html><head><title><!--##=PROJ.ProjName##--></title></head><body>
<?php $db = "<!--##=SCRPT.ConnName##-->"; $ext = "<!--##=SCRPT.PageExtension##-->"; ?>
