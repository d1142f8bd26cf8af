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
        'level_field' => 'level',
        'user_id_field' => 'customer_id',
        'email_field' => 'email',
        'default_rights' => 'admin:*,staff:lvsaecx,+customer:',
    ],
    'account' => [
        'register' => true,
        'register_email' => true,
        'forgot_password' => true,
        'change_password' => true,
        'change_email' => true,
        'register_fields' => ['name', 'email', 'city'],
        'user_info' => 'customers_info.php',
        'sender' => 'shop@example.com',
        'smtp_host' => 'localhost',
        'smtp_port' => 25,
    ],
    // l list, v view, s search, a add, e edit, c copy, d delete, x export, g every user's rows
    'rights' => [
        'categories' => 'admin:*,staff:lvsaecx',
        'products' => 'admin:*,staff:lvsaecx,customer:lvsx',
        'customers' => 'admin:*',
        'orders' => 'admin:*,staff:lvsaecxg,customer:lvsax',
        'order_items' => 'admin:*,staff:lvsaecxg,customer:lvsax',
        'product_sales' => 'admin:*,staff:lvsaecx',
        'product_stock' => 'admin:*,staff:lvsaecx',
        'big_orders' => 'admin:*,staff:lvsaecx',
        'sales_report' => 'admin:*,staff:lvsaecx',
    ],
    'menu' => [
        ['page' => 'categories_list.php', 'caption' => 'Categories', 'table' => 'categories'],
        ['page' => 'products_list.php', 'caption' => 'Products', 'table' => 'products'],
        ['page' => 'customers_list.php', 'caption' => 'Customers', 'table' => 'customers'],
        ['page' => 'orders_list.php', 'caption' => 'Orders', 'table' => 'orders'],
        ['page' => 'order_items_list.php', 'caption' => 'Order items', 'table' => 'order_items'],
        ['page' => 'product_sales_list.php', 'caption' => 'Product sales', 'table' => 'product_sales'],
        ['page' => 'product_stock_list.php', 'caption' => 'Stock of active products', 'table' => 'product_stock'],
        ['page' => 'big_orders_list.php', 'caption' => 'Big orders', 'table' => 'big_orders'],
        ['page' => 'sales_report_report.php', 'caption' => 'Sales by category', 'table' => 'sales_report'],
    ],
];
