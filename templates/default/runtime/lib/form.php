<?php
// Reading and checking submitted values: validation rules shared by the server
// and (as patterns) the browser.
declare(strict_types=1);

namespace Zt;

const VALIDATION_PATTERNS = [
    'int' => '-?[0-9]+',
    'number' => '-?[0-9]+([.][0-9]+)?',
];

// Whether a non-empty text is a valid value of the field (type and option list).
function valid_value(array $f, string $v): bool
{
    $rule = $f['validate'];
    if ($rule !== '' && isset(VALIDATION_PATTERNS[$rule]) && preg_match('/^(' . VALIDATION_PATTERNS[$rule] . ')$/D', $v) !== 1) {
        return false;
    }
    return match ($rule) {
        'int' => strlen(ltrim($v, '-')) <= 20,
        'date', 'datetime', 'time' => parse_date_input($f, $rule, $v) !== null,
        'email' => filter_var($v, FILTER_VALIDATE_EMAIL) !== false,
        'url' => filter_var($v, FILTER_VALIDATE_URL) !== false && preg_match('#^https?://#i', $v) === 1,
        default => true,
    };
}

// The value to store for a submitted text, by category; '' becomes NULL where
// the column takes it (see empty_is_null).
function store_value(array $f, string $v): mixed
{
    if ($f['category'] === 'bool') {
        return $v === '1';
    }
    if ($v === '' && empty_is_null($f)) {
        return null;
    }
    $dateKind = date_kind($f);
    if ($dateKind !== null) {
        return parse_date_input($f, $dateKind, $v) ?? $v;
    }
    // Whole numbers beyond PHP's integers (unsigned bigint) go as text, never as a rounded float.
    return $f['category'] === 'int' && preg_match('/^-?\d{1,18}$/D', $v) === 1 ? (int)$v : $v;
}

// The phrase for a value that does not fit the field's validation.
function invalid_message(array $f): string
{
    $rule = $f['validate'];
    $hint = in_array($rule, DATE_KINDS, true) ? date_hint($f, $rule) : '';
    return t('invalid.' . $rule, ['field' => $f['caption'], 'format' => $hint]);
}

// Whether a value is one of the field's options. A value the lookup column
// cannot even hold (text for a number on PostgreSQL) is simply not one.
function is_offered(array $f, string $v): bool
{
    try {
        return option_caption($f, $v) !== null;
    } catch (\PDOException $e) {
        if (!str_starts_with((string)$e->getCode(), '22')) {
            throw $e;
        }
        return false;
    }
}

// Reads the posted fields of a form. Returns [values, errors]; values hold
// only the fields to write (a PASSWORD left empty on edit, a FILE without
// upload and, on edit, a field whose shown value came back unchanged are left
// out; a FILE whose clear[...] box is ticked becomes null; on add, an empty
// field the database fills with its own default is left to it).
function read_form(array $m, string $page, string $mode): array
{
    $tokens = $page === 'edit' ? posted_tokens() : [];
    $values = [];
    $errors = [];
    foreach (fields_for($m, $page) as $name => $f) {
        if ($f['control'] === 'NO' || $f['auto']) {
            continue;
        }
        if ($f['control'] === 'FILE') {
            [$data, $error] = read_upload($f, $name);
            $cleared = (param_map('clear', $_POST)[$name] ?? '') === '1';
            if ($error !== null) {
                $errors[$name] = $error;
            } elseif ($data !== null) {
                $values[$name] = $data;
            } elseif ($cleared && $f['required']) {
                $errors[$name] = t('invalid.required', ['field' => $f['caption']]);
            } elseif ($cleared) {
                $values[$name] = null;
            } elseif ($f['required'] && $page === 'add' && $mode === 'add') {
                $errors[$name] = t('invalid.required', ['field' => $f['caption']]);
            }
            continue;
        }
        $raw = posted_text($f, $name);
        // On edit a field that was not sent at all, or came back as it was shown, keeps its value.
        if ($page === 'edit' && ($raw === null || is_unchanged($tokens, $f, $raw))) {
            continue;
        }
        // Text is stored as typed, blanks included; other values are read without them.
        $asTyped = (in_array($f['category'], ['string', 'memo'], true) && $f['validate'] === '') || $f['control'] === 'PASSWORD';
        $v = $asTyped ? $raw ?? '' : trim($raw ?? '');
        if ($f['control'] === 'PASSWORD' && $v === '' && $page === 'edit') {
            continue;
        }
        if ($page === 'add' && $f['db_default'] && trim($v) === '') {
            continue;
        }
        $error = check_value($f, $v);
        if ($error !== null) {
            $errors[$name] = $error;
            $values[$name] = $v;
            continue;
        }
        $values[$name] = $f['control'] === 'PASSWORD' && $f['hash'] && $v !== ''
            ? password_hash($v, PASSWORD_DEFAULT) : store_value($f, $v);
    }
    return [$values, $errors];
}

// The error message for a submitted value, or null when it is fine. Only
// values the user entered or changed come here: required means "not empty".
function check_value(array $f, string $v): ?string
{
    if (trim($v) === '') {
        return $f['required'] && $f['category'] !== 'bool' ? t('invalid.required', ['field' => $f['caption']]) : null;
    }
    if ($f['maxlen'] !== null && preg_match('/^.{0,' . (int)$f['maxlen'] . '}$/Dsu', $v) !== 1) {
        return t('invalid.maxlen', ['field' => $f['caption'], 'n' => $f['maxlen']]);
    }
    if (!valid_value($f, $v)) {
        return $f['error'] ?? invalid_message($f);
    }
    if (is_numeric($v) && (($f['min'] !== null && $v < $f['min']) || ($f['max'] !== null && $v > $f['max']))) {
        return $f['error'] ?? t('invalid.range', ['field' => $f['caption'], 'min' => $f['min'] ?? '', 'max' => $f['max'] ?? '']);
    }
    if (is_multiple($f)) {
        $unknown = array_diff(explode(',', $v), array_map('strval', array_keys($f['values'])));
        return $unknown === [] ? null : t('invalid.option', ['field' => $f['caption']]);
    }
    if (in_array($f['control'], ['SELECT', 'RADIO'], true) && !is_offered($f, $v)) {
        return t('invalid.option', ['field' => $f['caption']]);
    }
    return type_limit_error($f, $v);
}
