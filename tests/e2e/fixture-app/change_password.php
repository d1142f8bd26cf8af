<?php
require __DIR__ . '/zt/zt.php';
Zt\change_password_page();
