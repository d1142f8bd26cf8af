<!--##session page##--><?php // <!--##@Edit##--> <!--##=SCRPT.TableName##--> in <!--##=SCRPT.OutputName##-->
<!--##include shared.php/form##-->
<!--##/session##-->
