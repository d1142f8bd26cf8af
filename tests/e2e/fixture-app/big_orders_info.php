<?php
// Metadata of the custom view big_orders: orders worth more than 50.
return [
    'table' => 'big_orders',
    'caption' => 'Big orders',
    'file' => 'big_orders',
    'kind' => 'custom',
    'sql' => 'SELECT o.order_id, c.name AS customer, o.order_date, SUM(i.quantity * i.unit_price) AS total '
        . 'FROM orders o JOIN customers c ON c.customer_id = o.customer_id '
        . 'JOIN order_items i ON i.order_id = o.order_id '
        . 'GROUP BY o.order_id, c.name, o.order_date HAVING SUM(i.quantity * i.unit_price) > 50',
    'sort' => ['total', 'DESC'],
    'fields' => [
        'order_id' => ['caption' => 'Order', 'category' => 'int'],
        'customer' => ['caption' => 'Customer', 'category' => 'string'],
        'order_date' => ['caption' => 'Date', 'category' => 'date'],
        'total' => ['caption' => 'Total', 'category' => 'number', 'format' => ['kind' => 'currency', 'digits' => 2]],
    ],
];
