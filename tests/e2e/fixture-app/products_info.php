<?php
// Metadata of the table products.
return [
    'table' => 'products',
    'caption' => 'Products',
    'file' => 'products',
    'key' => ['product_id'],
    'sort' => ['product_id', 'ASC'],
    'paging' => ['size' => 10, 'sizes' => [5, 10, 20, 50], 'style' => 'numeric'],
    'master' => ['page' => 'categories_list.php', 'caption' => 'Categories', 'link' => ['category_id' => 'category_id']],
    'fields' => [
        'product_id' => ['caption' => 'ID', 'type' => 'INTEGER', 'category' => 'int', 'auto' => true],
        'category_id' => ['caption' => 'Category', 'type' => 'INTEGER', 'category' => 'int', 'required' => true,
            'lookup' => ['table' => 'categories', 'value' => 'category_id', 'display' => 'name']],
        'name' => ['caption' => 'Name', 'type' => 'VARCHAR(80)', 'category' => 'string', 'required' => true, 'maxlen' => 80],
        'price' => ['caption' => 'Price', 'type' => 'DECIMAL(10,2)', 'category' => 'number', 'required' => true,
            'format' => ['kind' => 'currency', 'digits' => 2], 'search_op' => 'BETWEEN'],
        'stock' => ['caption' => 'Stock', 'type' => 'INTEGER', 'category' => 'int', 'default' => '0',
            'search_op' => '>=', 'format' => ['kind' => 'number', 'digits' => 0]],
        'active' => ['caption' => 'Active', 'type' => 'BOOLEAN', 'category' => 'bool', 'default' => '1'],
        'image' => ['caption' => 'Image', 'type' => 'BLOB', 'category' => 'blob', 'list' => true],
        'notes' => ['caption' => 'Notes', 'type' => 'TEXT', 'category' => 'memo', 'list' => false],
        'added_on' => ['caption' => 'Added on', 'type' => 'DATE', 'category' => 'date',
            'format' => ['kind' => 'date', 'date' => 'Y-m-d'], 'search_op' => 'BETWEEN'],
        'sheet' => ['caption' => 'Data sheet', 'type' => 'VARCHAR(100)', 'category' => 'string', 'control' => 'FILE',
            'list' => false, 'search' => false, 'basic_search' => false,
            'upload_types' => ['txt' => 'text/plain', 'pdf' => 'application/pdf'], 'max_upload' => 4096],
    ],
];
