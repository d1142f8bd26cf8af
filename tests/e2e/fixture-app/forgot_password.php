<?php
require __DIR__ . '/zt/zt.php';
Zt\forgot_password_page();
