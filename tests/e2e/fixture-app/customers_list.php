<?php
require __DIR__ . '/zt/zt.php';
Zt\list_page(require __DIR__ . '/customers_info.php');
