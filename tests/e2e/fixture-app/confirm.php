<?php
require __DIR__ . '/zt/zt.php';
Zt\confirm_page();
