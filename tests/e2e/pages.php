<?php
// Prints, as JSON, every table page of an application as its metadata
// declares it (name, kind, key, permissions, page files that exist, owner,
// file fields) with the configuration's rights, so that tests derive the
// pages to probe from the application itself.
// usage: php pages.php APP_DIR
declare(strict_types=1);

$app = realpath($argv[1] ?? '') ?: exit("usage: php pages.php APP_DIR\n");
require $app . '/zt/zt.php';
Zt\App::$root = $app;
$config = require $app . '/config.php';
if (is_file($app . '/config.local.php')) {
    $config = array_replace_recursive($config, require $app . '/config.local.php');
}
Zt\App::$config = array_replace(Zt\CONFIG_DEFAULTS, $config);
$tables = [];
foreach (glob($app . '/*_info.php') as $info) {
    $m = require $info;
    if (!isset($m['fields'])) {
        continue;
    }
    $m = Zt\table_meta(($m['kind'] ?? '') === 'report' ? $m + ['report' => []] : $m);
    $pages = array_filter($m['pages'], static fn($p) => is_file($app . '/' . $p));
    $files = array_keys(array_filter($m['fields'], static fn($f) => $f['category'] === 'blob' || $f['control'] === 'FILE'));
    $tables[] = ['name' => $m['name'], 'table' => $m['table'], 'kind' => $m['kind'], 'key' => $m['key'],
        'perm' => $m['perm'], 'pages' => $pages, 'owner' => $m['owner'], 'files' => $files,
        'fields' => array_keys($m['fields'])];
}
echo json_encode(['tables' => $tables, 'rights' => Zt\App::$config['rights'], 'security' => Zt\App::$config['security'],
    'menu' => Zt\App::$config['menu'], 'state_dir' => Zt\state_dir()],
    JSON_THROW_ON_ERROR | JSON_PRETTY_PRINT), "\n";
