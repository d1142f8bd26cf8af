<!--##session head##--><?php // <!--##=PROJ.ProjName##--> ?>
<h1><!--##@Title##--></h1>
<!--##/session##-->
<!--##session body##--><table class="x">
<!--##include shared.php/cells##--><!--##/session##-->
<!--##session skipped##-->never<!--##/session##-->
