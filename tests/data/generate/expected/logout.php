<?php // logout, back to login.php
