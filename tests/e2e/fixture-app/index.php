<?php
require __DIR__ . '/zt/zt.php';
Zt\index_page();
