<?php
require __DIR__ . '/zt/zt.php';
Zt\search_page(require __DIR__ . '/product_stock_info.php');
