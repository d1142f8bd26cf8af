<?php
// Configuration of the shop application: connection, security and menu.
// A config.local.php beside it may override any entry (the tests point the
// connection at their own database that way).
return [
    'title' => 'Shop',
    'db' => ['driver' => 'sqlite', 'path' => 'shop.db'],
    'security' => [
        'type' => 'both',
        'login' => 'admin',
        'password' => '$2y$10$/0R3E6F50HLPNvyvxfVZJuU4xTXx3mdKO2FSfh8PghN1U4VPUFzYS',
        'table' => 'customers',
        'id_field' => 'email',
        'password_field' => 'password',
    ],
    'menu' => [
        ['page' => 'categories_list.php', 'caption' => 'Categories'],
        ['page' => 'products_list.php', 'caption' => 'Products'],
        ['page' => 'customers_list.php', 'caption' => 'Customers'],
        ['page' => 'orders_list.php', 'caption' => 'Orders'],
        ['page' => 'order_items_list.php', 'caption' => 'Order items'],
        ['page' => 'product_sales_list.php', 'caption' => 'Product sales'],
        ['page' => 'product_stock_list.php', 'caption' => 'Stock of active products'],
        ['page' => 'big_orders_list.php', 'caption' => 'Big orders'],
        ['page' => 'sales_report_report.php', 'caption' => 'Sales by category'],
    ],
];
