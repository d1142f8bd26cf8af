<?php
require __DIR__ . '/zt/zt.php';
Zt\delete_page(require __DIR__ . '/categories_info.php');
