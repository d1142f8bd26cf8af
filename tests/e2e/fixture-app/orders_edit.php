<?php
require __DIR__ . '/zt/zt.php';
Zt\edit_page(require __DIR__ . '/orders_info.php');
