<?php
require __DIR__ . '/zt/zt.php';
Zt\copy_page(require __DIR__ . '/customers_info.php');
