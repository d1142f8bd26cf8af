<?php
// The database's own column types (the field's `type`): what the runtime does
// with the types its categories cannot hold, and the limits a type sets on a
// value, checked before a statement so that the user gets a message instead of
// a refusal.
declare(strict_types=1);

namespace Zt;

// Lower-case type pattern => how the runtime treats such columns:
//   readonly  shown as text (geometry as WKT), left out of add and edit forms
//   dbtext    edited as plain text; the database itself checks the value
//   money     a number (read as numeric, not in the server's currency format)
//   array     shown as a readable list, edited as the database's array text
//   set       several choices, stored as the comma list
const NATIVE_TYPES = [
    '/^(geometry|geography|point|linestring|polygon|multipoint|multilinestring|multipolygon|geometrycollection'
        . '|line|lseg|box|path|circle)\b/' => 'readonly',
    '/^bit\b/' => 'readonly',
    '/^(time with time zone|timetz|interval|tsvector|tsquery|inet|cidr|macaddr|xml|jsonb?)\b/' => 'dbtext',
    '/^money$/' => 'money',
    '/\[\]$/' => 'array',
    '/^set\(/' => 'set',
];

// Integer types by name: [min, max] signed, max unsigned (as decimal text: bigint does not fit a float).
const INT_RANGES = [
    'tinyint' => ['-128', '127', '255'],
    'smallint' => ['-32768', '32767', '65535'],
    'mediumint' => ['-8388608', '8388607', '16777215'],
    'int' => ['-2147483648', '2147483647', '4294967295'],
    'integer' => ['-2147483648', '2147483647', '4294967295'],
    'bigint' => ['-9223372036854775808', '9223372036854775807', '18446744073709551615'],
    'year' => ['1901', '2155', '2155'],
];

function native_kind(array $f): string
{
    $type = strtolower(trim((string)$f['type']));
    foreach (NATIVE_TYPES as $pattern => $kind) {
        if (preg_match($pattern, $type) === 1) {
            return $kind;
        }
    }
    return '';
}

// The field's metadata adjusted to its database type.
function apply_native_type(array $f): array
{
    $f['native'] = native_kind($f);
    switch ($f['native']) {
        case 'readonly':
            $f['category'] = 'string';
            $f['control'] = 'NO';
            $f['add'] = $f['edit'] = false;
            $f['search'] = $f['basic_search'] = false;
            $f['validate'] = '';
            break;
        case 'dbtext':
        case 'array':
            if (!in_array($f['category'], ['string', 'memo'], true)) {
                $f['category'] = 'string';
            }
            $f['validate'] = '';
            $f['format'] = [];
            break;
        case 'money':
            $f['category'] = 'number';
            break;
        case 'set':
            if ($f['values'] !== null && in_array($f['control'], ['RADIO', 'SELECT', null], true)) {
                $f['control'] = 'CHECKBOX';
            }
            break;
    }
    return $f;
}

// The column as the SELECT list reads it: geometry as WKT, money as a plain number.
function read_expression(Db $db, array $f): string
{
    $col = $db->quote($f['name']);
    $type = strtolower((string)$f['type']);
    return match (true) {
        $f['native'] === 'readonly' && $db->driver === 'mysql' && str_starts_with($type, 'bit') => 'BIN(' . $col . ')',
        $f['native'] === 'readonly' && $db->driver === 'mysql' => 'ST_AsText(' . $col . ')',
        $f['native'] === 'readonly' && $db->driver === 'pgsql' && preg_match('/^geo(metry|graphy)/', $type) === 1
            => 'ST_AsText(' . $col . ')',
        $f['native'] === 'readonly' && $db->driver === 'pgsql' => 'CAST(' . $col . ' AS TEXT)',
        $f['native'] === 'money' && $db->driver === 'pgsql' => 'CAST(' . $col . ' AS NUMERIC)',
        default => $col,
    };
}

// An array's text ({a,"b c",NULL}) as a readable list; anything else as it is.
function readable_array(string $v): string
{
    if (!str_starts_with($v, '{') || !str_ends_with($v, '}')) {
        return $v;
    }
    $items = str_getcsv(substr($v, 1, -1), ',', '"', '\\');
    return implode(', ', array_map(static fn($x) => $x ?? '', $items));
}

// The message for a value the column's type cannot hold, or null. Integer
// ranges by size and sign, decimal digits before the point, year range,
// declared text length. SQLite holds any value in any column: no limits there.
function type_limit_error(array $f, string $v): ?string
{
    if (db()->driver === 'sqlite') {
        return null;
    }
    $type = strtolower(trim((string)$f['type']));
    if (!preg_match('/^([a-z ]+?)\s*(?:\((\d+)(?:\s*,\s*(\d+))?\))?\s*(unsigned)?(?:\s+zerofill)?$/', $type, $t)) {
        return null;
    }
    $name = $t[1];
    $unsigned = ($t[4] ?? '') === 'unsigned';
    if (isset(INT_RANGES[$name]) && preg_match('/^-?\d+$/', $v) === 1) {
        [$min, $max, $umax] = INT_RANGES[$name];
        if ($unsigned) {
            [$min, $max] = ['0', $umax];
        }
        return int_within($v, $min, $max) ? null : t('invalid.range', ['field' => $f['caption'], 'min' => $min, 'max' => $max]);
    }
    if (in_array($name, ['decimal', 'numeric', 'dec'], true) && ($t[2] ?? '') !== '' && is_numeric($v)) {
        $precision = (int)$t[2];
        $scale = (int)($t[3] ?? 0);
        $whole = ltrim(explode('.', ltrim($v, '-+'))[0], '0');
        if (strlen($whole) > $precision - $scale || ($unsigned && str_starts_with($v, '-') && (float)$v != 0.0)) {
            return t('invalid.digits', ['field' => $f['caption'], 'n' => $precision - $scale]);
        }
        return null;
    }
    if (in_array($name, ['varchar', 'character varying', 'char', 'character', 'nvarchar', 'nchar'], true)
        && ($t[2] ?? '') !== '' && preg_match_all('/./su', $v) > (int)$t[2]) {
        return t('invalid.maxlen', ['field' => $f['caption'], 'n' => $t[2]]);
    }
    return null;
}

// Whether an integer text lies within [min, max], compared as decimal text.
function int_within(string $v, string $min, string $max): bool
{
    return int_compare($v, $min) >= 0 && int_compare($v, $max) <= 0;
}

function int_compare(string $a, string $b): int
{
    $na = str_starts_with($a, '-');
    $nb = str_starts_with($b, '-');
    $a = ltrim(ltrim($a, '-'), '0');
    $b = ltrim(ltrim($b, '-'), '0');
    if ($a === '' && $b === '') {
        return 0;
    }
    if ($na !== $nb) {
        return $na && $a !== '' ? -1 : ($nb && $b !== '' ? 1 : ($a === '' ? -1 : 1));
    }
    $c = strlen($a) <=> strlen($b) ?: strcmp($a, $b) <=> 0;
    return $na ? -$c : $c;
}
