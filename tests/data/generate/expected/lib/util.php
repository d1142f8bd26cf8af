<?php // library
