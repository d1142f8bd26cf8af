<?php
// User levels and own records. The configuration holds, per table name, a
// rights text such as "admin:*,staff:lvsaecxg,customer:lv": level names with
// the letters of what that level may do on the table. The administrator (the
// fixed login) may do everything; without a level field every login may.
// can() is the one question every page, menu and link asks.
declare(strict_types=1);

namespace Zt;

// Letter => right. 'g' (global) lets a level reach the rows of other users on
// a table with an owner field; without it such a level sees only its own rows.
const RIGHT_LETTERS = [
    'l' => 'list', 'v' => 'view', 's' => 'search', 'a' => 'add', 'e' => 'edit', 'c' => 'copy',
    'd' => 'delete', 'x' => 'export', 'g' => 'global',
];

// A rights text as level => [right => true]; a level written "+name" is the
// one registration gives new users (see new_user_level()).
function parse_rights(string $text): array
{
    $levels = [];
    foreach (explode(',', $text) as $entry) {
        $entry = trim($entry);
        if ($entry === '') {
            continue;
        }
        if (preg_match('/^\+?([A-Za-z0-9_.\-]+|\*):(\*|[a-z]*)$/D', $entry, $p) !== 1) {
            throw new \LogicException("malformed rights entry '$entry'");
        }
        $letters = $p[2] === '*' ? implode('', array_keys(RIGHT_LETTERS)) : $p[2];
        $rights = [];
        foreach (str_split($letters) as $letter) {
            if ($letter === '') {
                continue;
            }
            if (!isset(RIGHT_LETTERS[$letter])) {
                throw new \LogicException("unknown right '$letter' in '$entry'");
            }
            $rights[RIGHT_LETTERS[$letter]] = true;
        }
        $levels[$p[1]] = $rights;
    }
    return $levels;
}

// The level new users get: the one marked with "+" in the default rights, else the last one named.
function new_user_level(): string
{
    $text = (string)(config('security')['default_rights'] ?? '');
    if (preg_match('/(?:^|,)\s*\+([A-Za-z0-9_.\-]+):/', $text, $p) === 1) {
        return $p[1];
    }
    $levels = array_keys(parse_rights($text));
    $levels = array_values(array_filter($levels, static fn($l) => $l !== '*'));
    return $levels === [] ? '' : (string)end($levels);
}

function uses_levels(): bool
{
    return security_kind() !== 'none' && (string)(config('security')['level_field'] ?? '') !== '';
}

// Whether the user of this request may use $right ('list', 'view', 'search',
// 'add', 'edit', 'copy', 'delete', 'export', 'global') on the table or view
// named $table (its database name, as in the metadata's 'table').
function can(string $table, string $right): bool
{
    if (security_kind() === 'none') {
        return true;
    }
    $user = current_account();
    if ($user === null) {
        return false;
    }
    if ($user['admin'] || !uses_levels()) {
        return true;
    }
    $levels = parse_rights((string)(config('rights')[$table] ?? ''));
    $mine = $levels[$user['level']] ?? $levels['*'] ?? [];
    return isset($mine[$right]);
}

// Ends the request with 403 unless the user may use $right on the table of $m.
function require_right(array $m, string $right): void
{
    if (!can(rights_table($m), $right)) {
        throw new HttpError(403, 'error.forbidden');
    }
}

// The name a page's rights are looked up by: the project's name of the table, view, custom view or report.
function rights_table(array $m): string
{
    return (string)($m['name'] ?? $m['table']);
}

// The menu entries the user may see (their 'table' is the rights name; entries without one are kept).
function visible_menu(): array
{
    return array_values(array_filter(config('menu'), static fn($item) =>
        !isset($item['table']) || can((string)$item['table'], 'list')));
}

// The owner value rows of $m must have for this user, or null when the user may see every row.
function owner_value(array $m): ?string
{
    if ($m['owner'] === null || security_kind() === 'none') {
        return null;
    }
    $user = current_account();
    if ($user === null || $user['admin'] || can(rights_table($m), 'global')) {
        return null;
    }
    // A login without a user id (no id field configured) owns nothing.
    return $user['uid'] ?? "\0";
}

// The condition that keeps a user to its own rows: [sql, params], or ['', []].
function owner_sql(array $m, Db $db): array
{
    $uid = owner_value($m);
    if ($uid === null) {
        return ['', []];
    }
    $o = $m['owner'];
    if (!isset($o['table'])) {
        return [$db->quote($o['field']) . ' = ?', [$uid]];
    }
    // Owned through the master row: e.g. the items of the user's own orders.
    $outer = $m['sql'] !== null ? 'zt_src' : $db->quote($m['table']);
    $match = [];
    foreach ($o['link'] as $detail => $master) {
        $match[] = 'zt_own.' . $db->quote($master) . ' = ' . $outer . '.' . $db->quote($detail);
    }
    return ['EXISTS (SELECT 1 FROM ' . $db->quote($o['table']) . ' zt_own WHERE ' . implode(' AND ', $match)
        . ' AND zt_own.' . $db->quote($o['field']) . ' = ?)', [$uid]];
}

// Fields a form must not take from this user: the owner field (set by the
// server) and the login table's level field (the administrator's alone).
function locked_fields(array $m): array
{
    $locked = [];
    if (owner_value($m) !== null && !isset($m['owner']['table'])) {
        $locked[] = $m['owner']['field'];
    }
    $s = config('security');
    $user = current_account();
    if (uses_levels() && ($s['table'] ?? null) === ($m['table'] ?? null) && !($user['admin'] ?? false)) {
        $locked[] = $s['level_field'];
    }
    return $locked;
}

// The metadata as this user may use it: locked fields are not on forms, and
// the owner field is not searched by a user kept to its own rows (its search
// control would list every user).
function user_meta(array $m): array
{
    foreach (locked_fields($m) as $name) {
        $m['fields'][$name]['add'] = $m['fields'][$name]['edit'] = false;
        if ($name !== (config('security')['level_field'] ?? null)) {
            $m['fields'][$name]['search'] = $m['fields'][$name]['basic_search'] = false;
        }
    }
    return $m;
}

// Values the server sets on insert whatever was posted: the owner of a new row.
function owner_values(array $m): array
{
    $uid = owner_value($m);
    if ($uid === null || isset($m['owner']['table'])) {
        return [];
    }
    return [$m['owner']['field'] => $uid];
}

// A row added below a master must belong to a master row of this user (404 otherwise).
function require_own_master(array $m, array $values): void
{
    $uid = owner_value($m);
    if ($uid === null || !isset($m['owner']['table'])) {
        return;
    }
    $db = db();
    $parts = [];
    $params = [];
    foreach ($m['owner']['link'] as $detail => $master) {
        $parts[] = $db->quote($master) . ' = ?';
        $params[] = $values[$detail] ?? null;
    }
    $params[] = $uid;
    $found = $db->value('SELECT COUNT(*) FROM ' . $db->quote($m['owner']['table']) . ' WHERE '
        . implode(' AND ', $parts) . ' AND ' . $db->quote($m['owner']['field']) . ' = ?', $params);
    if ((int)$found === 0) {
        throw new HttpError(404, 'error.not_found');
    }
}
