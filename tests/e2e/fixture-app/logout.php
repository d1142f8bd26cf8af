<?php
require __DIR__ . '/zt/zt.php';
Zt\logout_page();
