<?php
// Metadata of the report sales_report: product sales grouped by category.
return [
    'table' => 'product_sales',
    'name' => 'sales_report',
    'caption' => 'Sales by category',
    'file' => 'sales_report',
    'kind' => 'report',
    'sort' => ['product', 'ASC'],
    'report' => [
        'group_by' => ['category'],
        'aggregates' => ['quantity' => ['sum'], 'revenue' => ['sum', 'avg', 'min', 'max']],
        'show_details' => true,
        'grand_total' => true,
    ],
    'fields' => [
        'category' => ['caption' => 'Category', 'category' => 'string'],
        'product' => ['caption' => 'Product', 'category' => 'string'],
        'quantity' => ['caption' => 'Quantity', 'category' => 'int'],
        'revenue' => ['caption' => 'Revenue', 'category' => 'number', 'format' => ['kind' => 'currency', 'digits' => 2]],
    ],
];
