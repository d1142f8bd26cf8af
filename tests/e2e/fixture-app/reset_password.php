<?php
require __DIR__ . '/zt/zt.php';
Zt\reset_password_page();
