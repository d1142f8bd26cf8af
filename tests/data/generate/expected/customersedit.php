<?php // Edit & save customers in customersedit.php
<form method="post"><input name="customer_id"></form>
