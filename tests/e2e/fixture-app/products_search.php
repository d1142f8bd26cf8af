<?php
require __DIR__ . '/zt/zt.php';
Zt\search_page(require __DIR__ . '/products_info.php');
