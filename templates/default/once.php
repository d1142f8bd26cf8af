<?php
require __DIR__ . '/zt/zt.php';
Zt\<!--##=CTRL.CtrlParm##-->();
