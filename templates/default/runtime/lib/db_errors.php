<?php
// Refusals of the database (a value it cannot hold, a failed constraint) as
// messages of the form, worded by kind and placed beside the field the
// database names, else at the top of the form.
declare(strict_types=1);

namespace Zt;

// SQLSTATE => kind of refusal; the rest of classes 22 and 23 fall back by class.
const REFUSAL_STATES = [
    '22001' => 'long', '22003' => 'range', '22008' => 'range', '22007' => 'value', '22P02' => 'value',
    '23505' => 'duplicate', '23503' => 'reference', '23514' => 'check', '23502' => 'required', '23P01' => 'duplicate',
];
// MariaDB/MySQL error numbers => kind (their SQLSTATE is often the vague 23000 or HY000).
const MYSQL_REFUSALS = [
    1264 => 'range', 1690 => 'range', 1406 => 'long', 1265 => 'value', 1366 => 'value', 1292 => 'value',
    1367 => 'value', 1411 => 'value', 3140 => 'value', 1416 => 'value', 4078 => 'value',
    1062 => 'duplicate', 1586 => 'duplicate', 1452 => 'reference', 1216 => 'reference',
    3819 => 'check', 4025 => 'check', 1048 => 'required', 1364 => 'required',
];
// SQLite's constraint messages => kind.
const SQLITE_REFUSALS = [
    'UNIQUE constraint failed' => 'duplicate', 'PRIMARY KEY constraint failed' => 'duplicate',
    'FOREIGN KEY constraint failed' => 'reference', 'CHECK constraint failed' => 'check',
    'NOT NULL constraint failed' => 'required', 'datatype mismatch' => 'value',
];

// Integrity errors (a duplicate key, a row still referenced) are the user's to fix, not a failure.
function is_integrity_error(\Throwable $e): bool
{
    return $e instanceof \PDOException && str_starts_with((string)$e->getCode(), '23');
}

// The kind of a refusal (range, long, value, check, duplicate, reference, required), or null for a failure.
function refusal_kind(\PDOException $e, string $driver): ?string
{
    $state = (string)$e->getCode();
    $message = $e->getMessage();
    if ($driver === 'mysql') {
        $kind = MYSQL_REFUSALS[(int)($e->errorInfo[1] ?? 0)] ?? null;
        if ($kind !== null) {
            return $kind;
        }
    }
    if ($driver === 'sqlite') {
        foreach (SQLITE_REFUSALS as $text => $kind) {
            if (str_contains($message, $text)) {
                return $kind;
            }
        }
    }
    return REFUSAL_STATES[$state] ?? match (substr($state, 0, 2)) {
        '22' => 'value',
        '23' => '',
        default => null,
    };
}

// The refusal as form errors: [field => message] or ['' => message]; null when it is a failure.
function refusal_errors(array $m, \PDOException $e, string $driver, array $written): ?array
{
    $kind = refusal_kind($e, $driver);
    if ($kind === null) {
        return null;
    }
    if ($kind === '') {
        return ['' => t('save.refused')];
    }
    $name = refused_field($m, $e->getMessage(), $written);
    $caption = $name === null ? t('refused.some_value') : $m['fields'][$name]['caption'];
    return [$name ?? '' => t('refused.' . $kind, ['field' => $caption])];
}

// The field a refusal names: a column, a key, a constraint named after a
// column, or the one written field of the type the message names.
function refused_field(array $m, string $message, array $written): ?string
{
    $patterns = [
        '/for column (?:[`\'"][^`\'"]*[`\'"]\.)*[`\'"]([^`\'"]+)[`\'"]/',          // MySQL: 'x' or `db`.`t`.`x`
        '/FOREIGN KEY \(`([^`]+)`\)/',                                        // MySQL reference
        '/CONSTRAINT `(?:[^`]*\.)?([^`.]+)` failed/',                        // MariaDB check (JSON columns: the column)
        '/for key \'(?:[^\']*\.)?([^\'.]+)\'/',                               // MySQL duplicate: the index
        '/Key \("?([^)"]+)"?\)=/',                                            // PostgreSQL duplicate and reference
        '/in column "([^"]+)"/',                                              // PostgreSQL NOT NULL
        '/constraint failed: [^.\s]+\.(\S+)$/m',                              // SQLite: t.column
    ];
    foreach ($patterns as $p) {
        if (preg_match($p, $message, $match) === 1 && isset($m['fields'][$match[1]])) {
            return $match[1];
        }
    }
    // A CHECK constraint named <table>_<column>_check (PostgreSQL's own naming).
    if (preg_match('/check constraint "([^"]+)"/', $message, $match) === 1) {
        foreach (array_keys($written) as $name) {
            if ($match[1] === $m['table'] . '_' . $name . '_check') {
                return $name;
            }
        }
    }
    // PostgreSQL names the type (of an array's element), not the column: the
    // written field of that type, when only one has it.
    if (preg_match('/(?:for type|for enum|for type character varying|too long for type) ([^:]+?)(?::|$)/m', $message, $match) === 1) {
        $type = strtolower(trim($match[1]));
        $of = array_filter(array_keys($written),
            static fn($n) => in_array(strtolower((string)$m['fields'][$n]['type']), [$type, $type . '[]'], true));
        if (count($of) === 1) {
            return reset($of);
        }
    }
    return null;
}
