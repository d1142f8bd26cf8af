<?php // blob of type_zoo.data as data
