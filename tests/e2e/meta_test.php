<?php
// Checks the metadata of an application and the runtime's messages for bad
// metadata: every *_info.php of APP_DIR must pass, and each broken variant
// below must stop with its message.
// usage: php meta_test.php APP_DIR
declare(strict_types=1);

$app = $argv[1] ?? null;
if ($app === null) {
    fwrite(STDERR, "usage: php meta_test.php APP_DIR\n");
    exit(2);
}
require $app . '/zt/zt.php';

$passed = 0;
$failed = 0;
$check = static function (bool $ok, string $what) use (&$passed, &$failed): void {
    $ok ? $passed++ : $failed++;
    if (!$ok) {
        fwrite(STDERR, "meta: FAILED: $what\n");
    }
};

foreach (glob($app . '/*_info.php') as $file) {
    try {
        Zt\table_meta(require $file);
        $check(true, $file);
    } catch (LogicException $e) {
        $check(false, basename($file) . ': ' . $e->getMessage());
    }
}

$base = ['table' => 't', 'caption' => 'T', 'file' => 't', 'key' => ['id'],
    'fields' => ['id' => ['category' => 'int'], 'name' => []]];
// [change to $base, expected message]
$cases = [
    [['table' => null], "table metadata lacks 'table'"],
    [['fields' => []], 'table metadata of t has no fields'],
    [['fields' => ['id' => ['category' => 'integer']]], "field 'id' has an unknown category 'integer'"],
    [['fields' => ['id' => ['control' => 'DROPDOWN']]], "field 'id' has an unknown edit control 'DROPDOWN'"],
    [['fields' => ['id' => ['search_op' => 'CONTAINS']]], "field 'id' has an unknown search operator 'CONTAINS'"],
    [['fields' => ['id' => ['search_op2' => '=>']]], "field 'id' has an unknown search operator '=>'"],
    [['fields' => ['id' => ['validate' => 'phone']]], "field 'id' has an unknown validation 'phone'"],
    [['fields' => ['id' => ['lookup' => ['table' => 'x']]]], "field 'id' needs 'table', 'value' and 'display' in its lookup"],
    [['key' => ['id', 'code']], "key field 'code' is not a field of t"],
    [['sort' => ['price', 'ASC']], "sort field 'price' is not a field of t"],
    [['master' => ['page' => 'm.php', 'caption' => 'M', 'link' => ['m_id' => 'id']]], "master link field 'm_id' is not a field of t"],
    [['details' => [['page' => 'd.php', 'caption' => 'D', 'link' => ['t_id' => 'tid']]]], "detail link field 'tid' is not a field of t"],
    [['report' => ['group_by' => ['city']]], "report field 'city' is not a field of t"],
    [['report' => ['aggregates' => ['id' => ['median']]]], "field 'id' has an unknown report summary 'median'"],
    [['kind' => 'custom'], 'custom view t has no \'sql\''],
];
foreach ($cases as [$change, $expected]) {
    $meta = array_filter(array_replace($base, $change), static fn($v) => $v !== null);
    if (isset($change['fields']) && $change['fields'] !== []) {
        $meta['fields'] = array_replace_recursive($base['fields'], $change['fields']);
    }
    try {
        Zt\table_meta($meta);
        $check(false, "no error for: $expected");
    } catch (LogicException $e) {
        $check($e->getMessage() === $expected, "expected \"$expected\", got \"{$e->getMessage()}\"");
    }
}

// Defaults a template relies on.
$m = Zt\table_meta(['table' => 'v', 'caption' => 'V', 'file' => 'v', 'fields' => [
    'a' => ['category' => 'memo'], 'b' => ['category' => 'blob'], 'c' => ['category' => 'bool'],
    'd' => ['category' => 'int', 'search_op' => 'LIKE', 'lookup' => ['table' => 'x', 'value' => 'i', 'display' => 'n']]]]);
$check(!$m['perm']['edit'] && !$m['perm']['delete'] && !$m['perm']['view'], 'a table without a key is read-only');
$check($m['fields']['a']['control'] === 'TEXTAREA' && $m['fields']['a']['basic_search'], 'memo defaults');
$check($m['fields']['b']['control'] === 'FILE' && !$m['fields']['b']['list'] && !$m['fields']['b']['search'], 'blob defaults');
$check($m['fields']['c']['control'] === 'CHECKBOX', 'bool defaults');
$check($m['fields']['d']['control'] === 'SELECT' && $m['fields']['d']['search_op'] === '=', 'lookup and operator defaults');
$check($m['pages']['list'] === 'v_list.php' && $m['paging']['size'] === 10, 'page names and paging');

echo "meta: $passed passed, $failed failed\n";
exit($failed === 0 ? 0 : 1);
