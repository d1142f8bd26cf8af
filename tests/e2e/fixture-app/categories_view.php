<?php
require __DIR__ . '/zt/zt.php';
Zt\view_page(require __DIR__ . '/categories_info.php');
