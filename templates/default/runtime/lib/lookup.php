<?php
// Lookup fields: the caption of a stored value comes from another table.
// Pages that show rows ask only for the captions of the values they show, one
// IN (...) query per lookup field; forms offer the whole table as options.
declare(strict_types=1);

namespace Zt;

// Values per IN (...) query, well below every driver's parameter limit.
const LOOKUP_CHUNK = 500;

final class LookupCache
{
    public static array $captions = [];  // lookup id => [value => caption or null when absent]
}

function lookup_id(array $l): string
{
    return $l['table'] . "\0" . $l['value'] . "\0" . $l['display'];
}

// Fetches the captions of the lookup fields among $fields for the values in $rows.
function prime_captions(array $fields, array $rows): void
{
    foreach ($fields as $name => $f) {
        if ($f['lookup'] !== null && $f['values'] === null) {
            fetch_captions($f['lookup'], array_column($rows, $name));
        }
    }
}

// Forgets the captions fetched so far (between export batches).
function forget_captions(): void
{
    LookupCache::$captions = [];
}

function lookup_caption(array $f, mixed $v): ?string
{
    $id = lookup_id($f['lookup']);
    $key = (string)$v;
    if (!array_key_exists($key, LookupCache::$captions[$id] ?? [])) {
        fetch_captions($f['lookup'], [$v]);
    }
    return LookupCache::$captions[$id][$key];
}

function fetch_captions(array $l, array $values): void
{
    $id = lookup_id($l);
    $known = LookupCache::$captions[$id] ?? [];
    $wanted = [];
    foreach ($values as $v) {
        $v = Db::plainValue($v);
        if ($v !== null && !array_key_exists((string)$v, $known)) {
            $wanted[(string)$v] = $v;
        }
    }
    $db = db();
    $select = 'SELECT ' . $db->quote($l['value']) . ' AS v, ' . $db->quote($l['display']) . ' AS d FROM '
        . $db->quote($l['table']) . ' WHERE ' . $db->quote($l['value']) . ' IN ';
    foreach (array_chunk($wanted, LOOKUP_CHUNK, true) as $chunk) {
        foreach (array_keys($chunk) as $v) {
            $known[(string)$v] = null;
        }
        $marks = '(' . implode(', ', array_fill(0, count($chunk), '?')) . ')';
        foreach ($db->all($select . $marks, array_values($chunk)) as $r) {
            $known[(string)$r['v']] = (string)$r['d'];
        }
    }
    LookupCache::$captions[$id] = $known;
}

// value => caption of the whole lookup table, ordered by the caption, for SELECT and RADIO controls.
function lookup_options(array $l): array
{
    static $cache = [];
    $id = lookup_id($l);
    if (!isset($cache[$id])) {
        $db = db();
        $rows = $db->all('SELECT ' . $db->quote($l['value']) . ' AS v, ' . $db->quote($l['display']) . ' AS d FROM '
            . $db->quote($l['table']) . ' ORDER BY ' . $db->quote($l['display']));
        $cache[$id] = [];
        foreach ($rows as $r) {
            $cache[$id][(string)$r['v']] = (string)$r['d'];
        }
    }
    return $cache[$id];
}
