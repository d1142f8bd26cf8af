<?php
require __DIR__ . '/zt/zt.php';
Zt\view_page(require __DIR__ . '/order_items_info.php');
