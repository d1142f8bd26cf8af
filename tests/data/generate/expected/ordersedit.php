<?php // Edit & save orders in ordersedit.php
<form method="post"><input name="order_id"></form>
