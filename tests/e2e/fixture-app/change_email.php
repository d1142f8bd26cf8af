<?php
require __DIR__ . '/zt/zt.php';
Zt\change_email_page();
