<?php
// Metadata of the table categories.
return [
    'table' => 'categories',
    'caption' => 'Categories',
    'file' => 'categories',
    'key' => ['category_id'],
    'sort' => ['name', 'ASC'],
    'details' => [
        ['page' => 'products_list.php', 'caption' => 'Products', 'link' => ['category_id' => 'category_id']],
    ],
    'fields' => [
        'category_id' => ['caption' => 'ID', 'type' => 'INTEGER', 'category' => 'int', 'auto' => true],
        'name' => ['caption' => 'Name', 'type' => 'VARCHAR(60)', 'category' => 'string', 'required' => true, 'maxlen' => 60],
        'description' => ['caption' => 'Description', 'type' => 'TEXT', 'category' => 'memo'],
    ],
];
