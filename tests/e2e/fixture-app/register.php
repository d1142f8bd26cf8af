<?php
require __DIR__ . '/zt/zt.php';
Zt\register_page();
