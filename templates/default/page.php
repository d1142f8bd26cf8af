<?php
require __DIR__ . '/zt/zt.php';
Zt\<!--##=CTRL.CtrlParm##-->(require __DIR__ . '/<!--##=SCRPT.PageNameBase##-->_info.php');
