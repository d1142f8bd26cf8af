<?php
require __DIR__ . '/zt/zt.php';
Zt\report_page(require __DIR__ . '/sales_report_info.php');
