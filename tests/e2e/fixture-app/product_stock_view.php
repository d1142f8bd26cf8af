<?php
require __DIR__ . '/zt/zt.php';
Zt\view_page(require __DIR__ . '/product_stock_info.php');
