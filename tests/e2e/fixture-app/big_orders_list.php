<?php
require __DIR__ . '/zt/zt.php';
Zt\custom_page(require __DIR__ . '/big_orders_info.php');
