<?php
// Table metadata as a generated page declares it, completed with defaults and
// checked once, so the page functions can rely on every entry being there.
declare(strict_types=1);

namespace Zt;

const CATEGORIES = ['int', 'number', 'string', 'memo', 'date', 'time', 'datetime', 'bool', 'blob'];
const CONTROLS = ['TEXT', 'TEXTAREA', 'PASSWORD', 'RADIO', 'CHECKBOX', 'SELECT', 'HIDDEN', 'FILE', 'NO'];
const OPERATORS = ['=', '<>', '<', '<=', '>', '>=', 'LIKE', 'STARTS', 'ENDS', 'BETWEEN'];
const TEXT_OPERATORS = ['LIKE', 'STARTS', 'ENDS'];
const EXPORTS = ['csv', 'html', 'excel', 'word', 'xml'];
const AGGREGATES = ['sum', 'avg', 'min', 'max'];
const VALIDATIONS = ['int', 'number', 'date', 'time', 'datetime', 'email', 'url'];
const PAGE_KINDS = ['list', 'search', 'view', 'add', 'edit', 'copy', 'delete', 'blob', 'report'];

const TABLE_DEFAULTS = [
    'kind' => 'table',            // table, view, custom (read-only SQL), report
    'sql' => null,                // the SELECT of a custom view or report source
    'key' => [],
    'perm' => [],
    'paging' => [],
    'sort' => null,               // [field, 'ASC'|'DESC']
    'master' => null,
    'details' => [],
    'report' => null,
    'pages' => [],
    'name' => null,               // the project's name of the table: the key of its rights (default: 'table')
    'owner' => null,              // own records: ['field' => F] or ['field' => F, 'table' => master, 'link' => [...]]
];

const FIELD_DEFAULTS = [
    'type' => '',                 // the database type, for information
    'category' => 'string',
    'auto' => false,              // filled in by the database (auto-increment)
    'list' => true, 'view' => true, 'add' => true, 'edit' => true,
    'search' => true, 'basic_search' => null,
    'search_op' => null, 'search_op2' => null,
    'control' => null,
    'values' => null,             // value => caption, for SELECT and RADIO
    'lookup' => null,             // ['table' =>, 'value' =>, 'display' =>]
    'validate' => null,           // int, number, date, time, datetime, email, url
    'required' => false,
    'nullable' => null,           // the column takes NULL; null: not known (an emptied text is stored as '')
    'db_default' => false,        // the database fills the column when an add leaves it empty
    'min' => null, 'max' => null, // range of int and number values
    'error' => null,              // the message when the value is invalid, instead of the phrase
    'maxlen' => null,
    'size' => null, 'rows' => null, 'cols' => null, // size of TEXT and TEXTAREA controls
    'image' => false,             // blob or FILE field: show the content as an image
    'default' => null,
    'format' => [],               // ['kind' => number|currency|percent|date|none, 'digits' =>, 'date' =>]
    'hash' => false,              // PASSWORD control: store password_hash()
    'upload_types' => null,       // FILE control: extension => content type; default from the configuration
    'max_upload' => null,         // FILE control: bytes; default from the configuration
];

function table_meta(array $m): array
{
    foreach (['table', 'caption', 'file', 'fields'] as $required) {
        if (!isset($m[$required])) {
            throw new \LogicException("table metadata lacks '$required'");
        }
    }
    $m = array_replace(TABLE_DEFAULTS, $m);
    if (!is_array($m['fields']) || $m['fields'] === []) {
        throw new \LogicException("table metadata of {$m['table']} has no fields");
    }
    $m['name'] ??= $m['table'];
    foreach ($m['fields'] as $name => $f) {
        $m['fields'][$name] = field_meta((string)$name, is_password_column($m, (string)$name)
            ? array_replace($f, ['control' => 'PASSWORD', 'hash' => true]) : $f);
    }
    if ($m['owner'] !== null) {
        require_fields($m, isset($m['owner']['table']) ? array_keys($m['owner']['link']) : [$m['owner']['field']], 'owner');
    }
    foreach ($m['key'] as $k) {
        if (!isset($m['fields'][$k])) {
            throw new \LogicException("key field '$k' is not a field of {$m['table']}");
        }
    }
    $editable = $m['key'] !== [] && in_array($m['kind'], ['table', 'view'], true);
    $m['perm'] = array_replace([
        'list' => true, 'search' => true, 'view' => $m['key'] !== [],
        'add' => $editable, 'edit' => $editable, 'copy' => $editable,
        'delete' => $editable, 'multi_delete' => $editable, 'export' => EXPORTS,
    ], $m['perm']);
    if (!$editable) {
        foreach (['add', 'edit', 'copy', 'delete', 'multi_delete'] as $p) {
            $m['perm'][$p] = false;
        }
    }
    $m['perm']['export'] = array_values(array_intersect(EXPORTS, (array)$m['perm']['export']));
    $m['paging'] = array_replace(['size' => 10, 'sizes' => [10, 20, 50, 100], 'style' => 'numeric'], $m['paging']);
    $m['paging']['size'] = max(1, (int)$m['paging']['size']);
    foreach (PAGE_KINDS as $kind) {
        $m['pages'][$kind] ??= $m['file'] . '_' . $kind . '.php';
    }
    if ($m['sort'] !== null) {
        require_fields($m, [$m['sort'][0] ?? ''], 'sort');
    }
    if ($m['master'] !== null) {
        require_fields($m, array_keys($m['master']['link'] ?? []), 'master link');
    }
    foreach ($m['details'] as $d) {
        require_fields($m, array_values($d['link'] ?? []), 'detail link');
    }
    if ($m['report'] !== null) {
        $m['report'] = report_meta($m);
    }
    if ($m['kind'] === 'custom' && !is_string($m['sql'])) {
        throw new \LogicException("custom view {$m['table']} has no 'sql'");
    }
    return $m;
}

// The password column of the login table, whatever its metadata declares.
function is_password_column(array $m, string $name): bool
{
    $s = config('security') ?? [];
    return isset($s['table'], $s['password_field']) && $s['table'] === $m['table'] && $s['password_field'] === $name;
}

function require_fields(array $m, array $names, string $what): void
{
    foreach ($names as $name) {
        if (!isset($m['fields'][$name])) {
            throw new \LogicException("$what field '$name' is not a field of {$m['table']}");
        }
    }
}

function report_meta(array $m): array
{
    $r = array_replace(['group_by' => [], 'aggregates' => [], 'show_details' => true, 'grand_total' => true], $m['report']);
    require_fields($m, array_merge($r['group_by'], array_keys($r['aggregates'])), 'report');
    foreach ($r['aggregates'] as $name => $aggs) {
        foreach ((array)$aggs as $agg) {
            if (!in_array($agg, AGGREGATES, true)) {
                throw new \LogicException("field '$name' has an unknown report summary '$agg'");
            }
        }
    }
    return $r;
}

function field_meta(string $name, array $declared): array
{
    $f = array_replace(FIELD_DEFAULTS, ['caption' => $name], $declared);
    $f['name'] = $name;
    $f = apply_native_type($f);
    $c = $f['category'];
    if (!in_array($c, CATEGORIES, true)) {
        throw new \LogicException("field '$name' has an unknown category '$c'");
    }
    $f['control'] ??= match ($c) {
        'memo' => 'TEXTAREA', 'bool' => 'CHECKBOX', 'blob' => 'FILE',
        default => $f['lookup'] !== null || $f['values'] !== null ? 'SELECT' : 'TEXT',
    };
    if (!in_array($f['control'], CONTROLS, true)) {
        throw new \LogicException("field '$name' has an unknown edit control '{$f['control']}'");
    }
    if ($f['lookup'] !== null && array_diff(['table', 'value', 'display'], array_keys($f['lookup'])) !== []) {
        throw new \LogicException("field '$name' needs 'table', 'value' and 'display' in its lookup");
    }
    if ($f['validate'] !== null && $f['validate'] !== '' && !in_array($f['validate'], VALIDATIONS, true)) {
        throw new \LogicException("field '$name' has an unknown validation '{$f['validate']}'");
    }
    $f['validate'] ??= match ($c) {
        'int' => 'int', 'number' => 'number', 'date' => 'date', 'time' => 'time', 'datetime' => 'datetime',
        default => '',
    };
    $isText = in_array($c, ['string', 'memo'], true);
    $f['basic_search'] ??= $isText;
    $f['search_op'] ??= $isText ? 'LIKE' : '=';
    // Values only the database can read (json, intervals, arrays) are searched as text.
    if (in_array($f['native'], ['dbtext', 'array'], true) && !in_array($f['search_op'], TEXT_OPERATORS, true)) {
        $f['search_op'] = 'LIKE';
    }
    foreach (['search_op', 'search_op2'] as $op) {
        if ($f[$op] === null) {
            continue;
        }
        if (!in_array($f[$op], OPERATORS, true) && $f[$op] !== 'USER') {
            throw new \LogicException("field '$name' has an unknown search operator '{$f[$op]}'");
        }
        if (!$isText && in_array($f[$op], TEXT_OPERATORS, true)) {
            $f[$op] = '=';
        }
    }
    if ($c === 'blob') {
        $f['list'] = array_key_exists('list', $declared) && $f['list'];
        $f['search'] = false;
        $f['basic_search'] = false;
    }
    if ($f['auto']) {
        $f['add'] = false;
    }
    if ($f['control'] === 'PASSWORD') {
        // A password is never shown, searched, sorted on or exported, whatever the metadata says.
        $f['list'] = $f['view'] = $f['search'] = $f['basic_search'] = false;
    }
    return $f;
}

// Fields shown on a page kind: list, view, add, edit, search.
function fields_for(array $m, string $page): array
{
    return array_filter($m['fields'], static fn($f) => (bool)$f[$page]);
}

// The key of a row as field => value.
function row_key(array $m, array $row): array
{
    $key = [];
    foreach ($m['key'] as $k) {
        $key[$k] = $row[$k] === null ? '' : (string)$row[$k];
    }
    return $key;
}

// The key given in the request (key[...]), or null when a part is missing.
function request_key(array $m, ?array $source = null): ?array
{
    if ($m['key'] === []) {
        return null;
    }
    $given = param_map('key', $source);
    $key = [];
    foreach ($m['key'] as $k) {
        if (!isset($given[$k]) || !valid_value($m['fields'][$k], $given[$k])) {
            return null;
        }
        $key[$k] = $given[$k];
    }
    return $key;
}
