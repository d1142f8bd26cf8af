<?php // Edit & save type_zoo in type_zooedit.php
<form method="post"><input name="id"></form>
