<?php
// Metadata of the table customers, which is also the login table.
return [
    'table' => 'customers',
    'caption' => 'Customers',
    'file' => 'customers',
    'key' => ['customer_id'],
    'perm' => ['export' => ['csv', 'xml']],
    'paging' => ['size' => 20, 'sizes' => [20], 'style' => 'prevnext'],
    'fields' => [
        'customer_id' => ['caption' => 'ID', 'type' => 'INTEGER', 'category' => 'int', 'auto' => true],
        'name' => ['caption' => 'Name', 'type' => 'VARCHAR(80)', 'category' => 'string', 'required' => true],
        'email' => ['caption' => 'E-mail', 'type' => 'VARCHAR(120)', 'category' => 'string', 'required' => true,
            'validate' => 'email', 'search_op' => 'STARTS'],
        'password' => ['caption' => 'Password', 'type' => 'VARCHAR(255)', 'category' => 'string',
            'control' => 'PASSWORD', 'hash' => true, 'list' => false, 'view' => false, 'search' => false,
            'basic_search' => false],
        'city' => ['caption' => 'City', 'type' => 'VARCHAR(60)', 'category' => 'string', 'search_op' => 'USER'],
        'joined_at' => ['caption' => 'Joined', 'type' => 'DATETIME', 'category' => 'datetime', 'search_op' => '>=',
            'format' => ['kind' => 'date', 'date' => 'Y/m/d']],
        'level' => ['caption' => 'Level', 'type' => 'VARCHAR(20)', 'category' => 'string'],
    ],
];
