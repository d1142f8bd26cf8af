<?php // Edit & save order items in order_itemsedit.php
<form method="post"><input name="order_id"><input name="item_no"></form>
