<?php
// Metadata of the table orders.
return [
    'table' => 'orders',
    'caption' => 'Orders',
    'file' => 'orders',
    'key' => ['order_id'],
    'sort' => ['order_date', 'DESC'],
    'owner' => ['field' => 'customer_id'],
    'details' => [
        ['page' => 'order_items_list.php', 'caption' => 'Items', 'link' => ['order_id' => 'order_id'],
            'table' => 'order_items'],
    ],
    'fields' => [
        'order_id' => ['caption' => 'Order', 'type' => 'INTEGER', 'category' => 'int', 'auto' => true],
        'customer_id' => ['caption' => 'Customer', 'type' => 'INTEGER', 'category' => 'int', 'required' => true,
            'lookup' => ['table' => 'customers', 'value' => 'customer_id', 'display' => 'name']],
        'order_date' => ['caption' => 'Date', 'type' => 'DATE', 'category' => 'date', 'required' => true,
            'search_op' => 'BETWEEN'],
        'order_time' => ['caption' => 'Time', 'type' => 'TIME', 'category' => 'time'],
        'status' => ['caption' => 'Status', 'type' => 'VARCHAR(20)', 'category' => 'string', 'required' => true,
            'control' => 'RADIO', 'default' => 'new', 'search_op' => '=',
            'values' => ['new' => 'New', 'paid' => 'Paid', 'shipped' => 'Shipped', 'delivered' => 'Delivered']],
        'note' => ['caption' => 'Note', 'type' => 'TEXT', 'category' => 'memo'],
    ],
];
