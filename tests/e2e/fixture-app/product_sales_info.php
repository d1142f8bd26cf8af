<?php
// Metadata of the view product_sales: no key, so it is listed read-only.
return [
    'table' => 'product_sales',
    'caption' => 'Product sales',
    'file' => 'product_sales',
    'kind' => 'view',
    'sort' => ['revenue', 'DESC'],
    'fields' => [
        'product_id' => ['caption' => 'Product ID', 'category' => 'int'],
        'product' => ['caption' => 'Product', 'category' => 'string'],
        'category' => ['caption' => 'Category', 'category' => 'string'],
        'quantity' => ['caption' => 'Quantity', 'category' => 'int'],
        'revenue' => ['caption' => 'Revenue', 'category' => 'number', 'format' => ['kind' => 'currency', 'digits' => 2]],
    ],
];
