<?php
// Runs one SQL statement against an application's database, through the
// application's own configuration and the runtime's connection, and prints
// the rows as JSON. The tests use it to check what a request changed.
// usage: php dbq.php APP_DIR SQL [JSON_PARAMS]
declare(strict_types=1);

[$self, $app, $sql] = $argv + [null, null, null];
if ($app === null || $sql === null) {
    fwrite(STDERR, "usage: php dbq.php APP_DIR SQL [JSON_PARAMS]\n");
    exit(2);
}
require $app . '/zt/zt.php';
Zt\App::$root = realpath($app);
$config = require $app . '/config.php';
if (is_file($app . '/config.local.php')) {
    $config = array_replace_recursive($config, require $app . '/config.local.php');
}
$db = Zt\Db::connect($config['db']);
$params = isset($argv[3]) ? json_decode($argv[3], true, 8, JSON_THROW_ON_ERROR) : [];
$st = $db->run($sql, $params);
$rows = [];
foreach ($st->columnCount() === 0 ? [] : $st->fetchAll() as $row) {
    $rows[] = array_map(static fn($v) => is_resource($v) ? bin2hex((string)stream_get_contents($v))
        : (is_string($v) && !mb_check($v) ? bin2hex($v) : $v), $row);
}
echo json_encode($rows, JSON_THROW_ON_ERROR), "\n";

// Binary values go out as hex so that JSON can carry them.
function mb_check(string $v): bool
{
    return preg_match('//u', $v) === 1;
}
