<?php // nested library
