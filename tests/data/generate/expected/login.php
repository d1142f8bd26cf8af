<?php // login against customers (Use Table)
