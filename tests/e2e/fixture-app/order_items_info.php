<?php
// Metadata of the table order_items: a key of two fields.
return [
    'table' => 'order_items',
    'caption' => 'Order items',
    'file' => 'order_items',
    'key' => ['order_id', 'product_id'],
    'owner' => ['field' => 'customer_id', 'table' => 'orders', 'link' => ['order_id' => 'order_id']],
    'master' => ['page' => 'orders_list.php', 'caption' => 'Orders', 'link' => ['order_id' => 'order_id']],
    'fields' => [
        'order_id' => ['caption' => 'Order', 'type' => 'INTEGER', 'category' => 'int', 'required' => true],
        'product_id' => ['caption' => 'Product', 'type' => 'INTEGER', 'category' => 'int', 'required' => true,
            'lookup' => ['table' => 'products', 'value' => 'product_id', 'display' => 'name']],
        'quantity' => ['caption' => 'Quantity', 'type' => 'INTEGER', 'category' => 'int', 'required' => true,
            'default' => '1'],
        'unit_price' => ['caption' => 'Unit price', 'type' => 'DECIMAL(10,2)', 'category' => 'number',
            'required' => true, 'format' => ['kind' => 'number', 'digits' => 2]],
    ],
];
