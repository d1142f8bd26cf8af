<?php
// The list state (search, master filter, sort, paging) read from the request
// and checked against the field list, and the SQL built from it. Names in the
// SQL come only from the metadata; request values go only into parameters.
declare(strict_types=1);

namespace Zt;

function list_state(array $m): array
{
    $s = ['q' => trim(param('q')), 's' => [], 's2' => [], 'so' => [], 'm' => [], 'sort' => '', 'dir' => 'asc',
        'page' => 1, 'size' => $m['paging']['size'], 'warnings' => []];
    foreach ($m['perm']['search'] ? ['s', 's2'] : [] as $which) {
        foreach (param_map($which) as $name => $v) {
            if (isset($m['fields'][$name]) && $m['fields'][$name]['search'] && trim($v) !== '') {
                $s[$which][$name] = trim($v);
            }
        }
    }
    // A field whose operator is USER takes the one the user chose (so[...]), else '='.
    foreach ($s['s'] as $name => $v) {
        if ($m['fields'][$name]['search_op'] === 'USER') {
            $s['so'][$name] = user_operator($m['fields'][$name], param_map('so')[$name] ?? '=');
        }
    }
    if ($m['master'] !== null) {
        foreach (param_map('m') as $name => $v) {
            if (isset($m['master']['link'][$name])) {
                $s['m'][$name] = $v;
            }
        }
    }
    $sort = param('sort');
    if (isset($m['fields'][$sort]) && $m['fields'][$sort]['list'] && $m['fields'][$sort]['category'] !== 'blob') {
        $s['sort'] = $sort;
        $s['dir'] = param('dir') === 'desc' ? 'desc' : 'asc';
    }
    $page = param('page');
    if (ctype_digit($page) && strlen($page) < 8 && (int)$page > 0) {
        $s['page'] = (int)$page;
    }
    $size = param('size');
    if (ctype_digit($size) && in_array((int)$size, $m['paging']['sizes'], true)) {
        $s['size'] = (int)$size;
    }
    return $s;
}

function user_operator(array $f, string $op): string
{
    $text = in_array($f['category'], ['string', 'memo'], true);
    $allowed = array_filter(OPERATORS, static fn($o) => $o !== 'BETWEEN' && ($text || !in_array($o, TEXT_OPERATORS, true)));
    return in_array($op, $allowed, true) ? $op : '=';
}

// The request parameters that carry a state, for links.
function state_query(array $s, array $override = []): array
{
    $q = ['q' => $s['q'], 's' => $s['s'], 's2' => $s['s2'], 'so' => $s['so'], 'm' => $s['m'],
        'sort' => $s['sort'], 'dir' => $s['sort'] === '' ? '' : $s['dir'], 'size' => $s['size'], 'page' => $s['page']];
    $q = array_replace($q, $override);
    if ($q['page'] === 1) {
        $q['page'] = '';
    }
    return $q;
}

function source_sql(array $m, Db $db): string
{
    return $m['sql'] !== null ? '(' . $m['sql'] . ') zt_src' : $db->quote($m['table']);
}

// The select list: the given fields and the key; blobs only as "present or not".
function select_sql(array $m, Db $db, array $fields): string
{
    $names = array_unique(array_merge($m['key'], array_keys($fields)));
    $cols = [];
    foreach ($names as $name) {
        $q = $db->quote($name);
        $read = read_expression($db, $m['fields'][$name]);
        $cols[] = match (true) {
            $m['fields'][$name]['category'] === 'blob' && !isset($fields[$name]['blob_data'])
                => 'CASE WHEN LENGTH(' . $q . ') > 0 THEN 1 END AS ' . $q,  // an empty blob has nothing to open
            $read !== $q => $read . ' AS ' . $q,
            default => $q,
        };
    }
    return $cols === [] ? '1 AS zt_none' : implode(', ', $cols);  // a list that shows no column still counts its rows
}

// WHERE for basic search, advanced search and the master filter. Returns [sql, params].
function where_sql(array $m, Db $db, array &$s): array
{
    [$own, $params] = owner_sql($m, $db);
    $parts = $own === '' ? [] : [$own];
    foreach ($s['m'] as $name => $v) {
        if (!valid_value($m['fields'][$name], $v)) {
            $parts[] = '1=0';
            continue;
        }
        $parts[] = $db->quote($name) . ' = ?';
        $params[] = store_value($m['fields'][$name], $v);
    }
    if ($s['q'] !== '') {
        $any = [];
        foreach ($m['fields'] as $name => $f) {
            if ($f['basic_search']) {
                $any[] = like_sql($db, $name);
                $params[] = like_pattern('LIKE', $s['q']);
            }
        }
        $parts[] = $any === [] ? '1=0' : '(' . implode(' OR ', $any) . ')';
    }
    foreach ($s['s'] as $name => $v) {
        $f = $m['fields'][$name];
        [$sql, $p] = condition_sql($db, $f, $s['so'][$name] ?? $f['search_op'], $v, $s['s2'][$name] ?? null);
        if ($sql === null) {
            $s['warnings'][] = t('search.invalid', ['field' => $f['caption']]);
            $sql = '1=0';
        }
        $parts[] = $sql;
        array_push($params, ...$p);
    }
    foreach ($s['s2'] as $name => $v) {
        $f = $m['fields'][$name];
        if ($f['search_op2'] === null || $f['search_op'] === 'BETWEEN') {
            continue;
        }
        [$sql, $p] = condition_sql($db, $f, $f['search_op2'], $v, null);
        if ($sql === null) {
            $s['warnings'][] = t('search.invalid', ['field' => $f['caption']]);
            $sql = '1=0';
        }
        $parts[] = $sql;
        array_push($params, ...$p);
    }
    return [$parts === [] ? '' : ' WHERE ' . implode(' AND ', $parts), $params];
}

// One search condition; [null, []] when the value does not fit the field.
function condition_sql(Db $db, array $f, string $op, string $v, ?string $v2): array
{
    $col = $db->quote($f['name']);
    if (in_array($op, TEXT_OPERATORS, true)) {
        return [like_sql($db, $f['name']), [like_pattern($op, $v)]];
    }
    $check = $f['category'] === 'bool' ? in_array($v, ['0', '1'], true) : valid_value($f, $v);
    if (!$check) {
        return [null, []];
    }
    if ($op === 'BETWEEN') {
        if ($v2 === null || $v2 === '') {
            return [$col . ' >= ?', [store_value($f, $v)]];
        }
        if (!valid_value($f, $v2)) {
            return [null, []];
        }
        return [$col . ' BETWEEN ? AND ?', [store_value($f, $v), store_value($f, $v2)]];
    }
    return [$col . ' ' . $op . ' ?', [store_value($f, $v)]];
}

function like_sql(Db $db, string $name): string
{
    return 'LOWER(' . $db->asText($db->quote($name)) . ") LIKE LOWER(?) ESCAPE '!'";
}

function like_pattern(string $op, string $v): string
{
    $v = strtr($v, ['!' => '!!', '%' => '!%', '_' => '!_']);
    return match ($op) {
        'STARTS' => $v . '%',
        'ENDS' => '%' . $v,
        default => '%' . $v . '%',
    };
}

// ORDER BY the chosen column, else the declared sort, then the key so that
// pages never overlap. Without a key, the rest of the order is the row id of a
// SQLite table, else every listed column, so that paging neither repeats nor
// skips a row.
function order_sql(array $m, Db $db, array $s): string
{
    $order = [];
    if ($s['sort'] !== '') {
        $order[$s['sort']] = strtoupper($s['dir']);
    } elseif ($m['sort'] !== null) {
        $order[$m['sort'][0]] = strtoupper($m['sort'][1] ?? 'ASC') === 'DESC' ? 'DESC' : 'ASC';
    }
    foreach ($m['key'] as $k) {
        $order[$k] ??= 'ASC';
    }
    $parts = [];
    foreach ($order as $name => $dir) {
        $parts[] = order_expression($db, $m['fields'][$name]) . ' ' . $dir;
    }
    if ($m['key'] === []) {
        $parts = array_merge($parts, keyless_order($m, $db, array_keys($order)));
    }
    return $parts === [] ? '' : ' ORDER BY ' . implode(', ', $parts);
}

function keyless_order(array $m, Db $db, array $done): array
{
    if ($db->driver === 'sqlite' && $m['kind'] === 'table' && $m['sql'] === null) {
        return ['rowid'];
    }
    $parts = [];
    foreach ($m['fields'] as $name => $f) {
        if (!in_array($name, $done, true) && $f['category'] !== 'blob') {
            $parts[] = order_expression($db, $f);
        }
    }
    return $parts;
}

// A column in ORDER BY; on PostgreSQL values without an order (json, geometric, xml) compare as text.
function order_expression(Db $db, array $f): string
{
    $col = $db->quote($f['name']);
    return $db->driver === 'pgsql' && in_array($f['native'], ['dbtext', 'readonly', 'array'], true)
        ? 'CAST(' . $col . ' AS TEXT)' : $col;
}

// WHERE for one row by its key, among the rows the user may reach. Returns [sql, params].
function key_where(array $m, Db $db, array $key): array
{
    [$own, $params] = owner_sql($m, $db);
    $parts = $own === '' ? [] : [$own];
    foreach ($key as $name => $v) {
        $parts[] = $db->quote($name) . ' = ?';
        $params[] = store_value($m['fields'][$name], $v);
    }
    return [' WHERE ' . implode(' AND ', $parts), $params];
}

// The row of a key; null when there is none, also when the database cannot
// even read the key's value (text for a uuid key): no row has it.
function fetch_row(array $m, array $key, array $fields): ?array
{
    $db = db();
    [$where, $params] = key_where($m, $db, $key);
    try {
        return $db->one('SELECT ' . select_sql($m, $db, $fields) . ' FROM ' . source_sql($m, $db) . $where, $params);
    } catch (\PDOException $e) {
        if (!in_array(refusal_kind($e, $db->driver), ['value', 'range'], true)) {
            throw $e;
        }
        return null;
    }
}

// The master filter the page was opened with (m[...] of the master link fields).
function master_filter(array $m): array
{
    if ($m['master'] === null) {
        return [];
    }
    return array_intersect_key(param_map('m', $_GET), $m['master']['link']);
}

// The list page to return to after a change, with the master filter it came from.
function list_url(array $m): string
{
    return url($m['pages']['list'], ['m' => master_filter($m)]);
}
