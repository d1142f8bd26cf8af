<!--##session logout##--><?php // logout, back to <!--##=SCRPT.PageName("login")##-->
<!--##/session##-->
