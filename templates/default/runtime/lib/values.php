<?php
// Round trips of stored values through forms. An edit form carries, per
// field, a token of the text its input showed (o[<field>]); a field whose
// posted text still has that token was left alone and is not written, so NULL
// stays NULL, text keeps its blanks and date text keeps its form.
declare(strict_types=1);

namespace Zt;

// The text an input shows for a stored value.
function input_text(array $f, mixed $value): string
{
    if (is_bool($value)) {
        return $value ? '1' : '0';
    }
    $v = is_scalar($value) ? (string)$value : '';
    if ($f['control'] === 'CHECKBOX' && $f['values'] === null) {
        return $v !== '' && filter_var($v, FILTER_VALIDATE_BOOLEAN) ? '1' : '0';
    }
    $dateKind = date_kind($f);
    return $dateKind === null ? $v : date_input_value($f, $dateKind, $v);
}

// Whether the control edits several choices kept as a comma list (a SET column).
function is_multiple(array $f): bool
{
    return $f['control'] === 'CHECKBOX' && $f['values'] !== null;
}

// The posted text of a field; the choices of a multiple field joined by commas.
function posted_text(array $f, string $name): ?string
{
    $v = $_POST['f'][$name] ?? null;
    if (is_multiple($f)) {
        if ($v === null || $v === '') {
            return isset($_POST['f']) && is_array($_POST['f']) ? '' : null;
        }
        return is_array($v) ? implode(',', array_filter($v, 'is_string')) : null;
    }
    return is_string($v) ? $v : null;
}

// A browser sends a textarea's line breaks as CRLF: the token is of the text
// as it comes back (a text with line breaks is always shown in a textarea).
function value_token(array $f, string $text): string
{
    return hash_hmac('sha256', $f['name'] . "\0" . str_replace("\r\n", "\n", $text), csrf_token());
}

// The tokens of the values an edit form shows: the fields it lets the user change.
function original_tokens(array $m, array $row): array
{
    $tokens = [];
    foreach (fields_for($m, 'edit') as $name => $f) {
        if (!$f['auto'] && !in_array($f['control'], ['FILE', 'NO', 'PASSWORD'], true) && array_key_exists($name, $row)) {
            $tokens[$name] = value_token($f, input_text($f, $row[$name]));
        }
    }
    return $tokens;
}

// The tokens a posted form brought back (well-formed ones only).
function posted_tokens(): array
{
    return array_filter(param_map('o', $_POST), static fn($t) => preg_match('/^[0-9a-f]{64}$/D', $t) === 1);
}

function is_unchanged(array $tokens, array $f, string $text): bool
{
    return isset($tokens[$f['name']]) && hash_equals($tokens[$f['name']], value_token($f, $text));
}

function token_fields(array $tokens): string
{
    $out = '';
    foreach ($tokens as $name => $token) {
        $out .= hidden('o[' . $name . ']', $token);
    }
    return $out;
}

// Whether an empty input stores NULL: the column allows it and the field is no text
// that the database keeps as '' (a NOT NULL text column, or one of unknown nullability).
function empty_is_null(array $f): bool
{
    return !in_array($f['category'], ['string', 'memo'], true) || $f['nullable'] === true;
}
