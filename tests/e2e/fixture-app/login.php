<?php
require __DIR__ . '/zt/zt.php';
Zt\login_page();
