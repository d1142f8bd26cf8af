<?php
// Metadata of the view product_stock, with a key chosen by the user: editable
// where the database can change rows through the view.
return [
    'table' => 'product_stock',
    'caption' => 'Stock of active products',
    'file' => 'product_stock',
    'kind' => 'view',
    'key' => ['product_id'],
    'perm' => ['add' => false, 'copy' => false, 'delete' => false, 'multi_delete' => false],
    'fields' => [
        'product_id' => ['caption' => 'ID', 'category' => 'int', 'edit' => false],
        'name' => ['caption' => 'Product', 'category' => 'string', 'control' => 'NO'],
        'stock' => ['caption' => 'Stock', 'category' => 'int', 'required' => true, 'min' => 0],
    ],
];
