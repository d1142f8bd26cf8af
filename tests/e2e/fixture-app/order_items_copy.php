<?php
require __DIR__ . '/zt/zt.php';
Zt\copy_page(require __DIR__ . '/order_items_info.php');
