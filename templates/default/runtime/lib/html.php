<?php
// HTML output: escaping, the page frame, value formats and edit controls.
// Everything that reaches the page goes through h().
declare(strict_types=1);

namespace Zt;

function h(mixed $v): string
{
    return htmlspecialchars((string)$v, ENT_QUOTES | ENT_SUBSTITUTE | ENT_HTML5, 'UTF-8');
}

function page_begin(string $title): void
{
    $css = h(config('runtime_url') . '/zt.css');
    $own = config('stylesheet');
    echo "<!DOCTYPE html>\n<html lang=\"", h(config('language')), "\">\n<head>\n<meta charset=\"utf-8\">\n",
        '<meta name="viewport" content="width=device-width, initial-scale=1">', "\n",
        '<title>', h($title), ' - ', h(config('title')), "</title>\n",
        '<link rel="icon" href="data:,">', "\n",
        '<link rel="stylesheet" href="', $css, '">', "\n";
    if ($own !== null) {
        echo '<link rel="stylesheet" href="', h($own), '">', "\n";
    }
    echo '<script src="', h(config('runtime_url') . '/zt.js'), '" defer></script>', "\n</head>\n<body>\n";
    echo '<header class="zt-header"><a class="zt-home" href="index.php">', h(config('title')), '</a>';
    $user = current_user();
    if ($user !== null) {
        echo ' <span class="zt-user">', h(t('login.as', ['user' => $user])), '</span> ',
            '<a class="zt-logout" href="', h(url('logout.php', ['_csrf' => csrf_token()])), '">', h(t('logout')), '</a>';
    }
    foreach (account_links() as $link) {
        echo ' ', $link;
    }
    echo "</header>\n<main class=\"zt-main\">\n<h1>", h($title), "</h1>\n";
    $message = flash();
    if ($message !== null) {
        echo '<p class="zt-flash">', h($message), "</p>\n";
    }
}

function page_end(): void
{
    echo "</main>\n<footer class=\"zt-footer\">", h(t('footer')), "</footer>\n</body>\n</html>\n";
}

function error_page(string $message): void
{
    $title = App::$phrases === [] ? 'Error' : t('error');
    echo "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>", h($title), "</title></head>\n",
        '<body><h1>', h($title), '</h1><p class="zt-error">', h($message), "</p>\n",
        '<p><a href="index.php">', h(App::$phrases === [] ? 'Home' : t('home')), "</a></p></body></html>\n";
}

function anchor(string $href, string $text, string $class = ''): string
{
    $c = $class === '' ? '' : ' class="' . h($class) . '"';
    return '<a href="' . h($href) . '"' . $c . '>' . h($text) . '</a>';
}

function hidden(string $name, string $value): string
{
    return '<input type="hidden" name="' . h($name) . '" value="' . h($value) . '">';
}

function csrf_field(): string
{
    return hidden('_csrf', csrf_token());
}

function key_fields(array $key): string
{
    $out = '';
    foreach ($key as $k => $v) {
        $out .= hidden('key[' . $k . ']', $v);
    }
    return $out;
}

// The caption of a value of a SELECT/RADIO field: from its value list or lookup table.
function option_caption(array $f, mixed $v): ?string
{
    if ($v === null) {
        return null;
    }
    if ($f['values'] === null && $f['lookup'] !== null) {
        return lookup_caption($f, $v);
    }
    return field_options($f)[(string)$v] ?? null;
}

// value => caption for SELECT and RADIO controls.
function field_options(array $f): array
{
    if ($f['values'] !== null) {
        return array_map('strval', $f['values']);
    }
    return $f['lookup'] === null ? [] : lookup_options($f['lookup']);
}

// A stored value as the user reads it (not escaped).
function format_value(array $f, mixed $v): string
{
    if ($v === null) {
        return '';
    }
    if (is_multiple($f)) {
        return implode(', ', array_map(static fn($x) => option_caption($f, $x) ?? $x, explode(',', (string)$v)));
    }
    if ($f['values'] !== null || $f['lookup'] !== null) {
        return option_caption($f, $v) ?? (string)$v;
    }
    if ($f['native'] === 'array') {
        return readable_array((string)$v);
    }
    $fmt = $f['format'];
    $kind = $fmt['kind'] ?? 'none';
    switch ($f['category']) {
        case 'bool':
            return t(filter_var($v, FILTER_VALIDATE_BOOLEAN) ? 'yes' : 'no');
        case 'int':
        case 'number':
            if (!is_numeric($v) || $kind === 'none') {
                return (string)$v;
            }
            $digits = (int)($fmt['digits'] ?? 2);
            $n = number_format((float)$v, $digits, t('format.decimal'), t('format.thousands'));
            return match ($kind) {
                'currency' => t('format.currency', ['n' => $n]),
                'percent' => number_format((float)$v * 100, $digits, t('format.decimal'), t('format.thousands')) . '%',
                default => $n,
            };
        case 'date':
        case 'datetime':
        case 'time':
            $shown = display_format($f);
            $d = $shown === null ? null : stored_date($v);
            return $d === null ? (string)$v : $d->format($shown);
        default:
            return (string)$v;
    }
}

// A value cell of the list and view pages, escaped; line breaks of memo text kept.
function value_html(array $m, array $f, array $row, string $page): string
{
    if ($f['category'] === 'blob' || $f['control'] === 'FILE') {
        if ($row[$f['name']] === null || $row[$f['name']] === '' || $m['key'] === []) {
            return '';
        }
        $src = url($m['pages']['blob'], ['fld' => $f['name'], 'key' => row_key($m, $row)]);
        if ($f['image']) {
            return '<img class="zt-image" src="' . h($src) . '" alt="' . h($f['caption']) . '">';
        }
        return '<a href="' . h($src) . '">' . h(t('blob.open')) . '</a>';
    }
    $text = h(format_value($f, $row[$f['name']] ?? null));
    return in_array($f['category'], ['memo', 'string'], true) && $page === 'view' ? nl2br($text, false) : $text;
}

// The edit control of a field on add/edit forms and the advanced search form.
function control_html(array $f, string $name, mixed $value, bool $forSearch = false): string
{
    $v = $forSearch && $f['control'] === 'CHECKBOX' && !is_bool($value) ? (is_scalar($value) ? (string)$value : '')
        : input_text($f, $value);
    $id = 'zt-' . preg_replace('/[^A-Za-z0-9_\-]/', '_', $name);
    $attrs = ' id="' . h($id) . '" name="' . h($name) . '"';
    if (!$forSearch) {
        $attrs .= validation_attrs($f);
    }
    $control = $forSearch && in_array($f['control'], ['PASSWORD', 'HIDDEN', 'FILE', 'NO', 'TEXTAREA'], true)
        ? 'TEXT' : $f['control'];
    // A one-line input would drop the line breaks of a stored text.
    if ($control === 'TEXT' && !$forSearch && str_contains($v, "\n")) {
        $control = 'TEXTAREA';
    }
    if ($forSearch && $control === 'CHECKBOX') {
        $control = 'SELECT';
        $f['values'] ??= ['1' => t('yes'), '0' => t('no')];
    }
    switch ($control) {
        case 'TEXTAREA':
            return '<textarea' . $attrs . ' rows="' . (int)($f['rows'] ?? 5) . '" cols="' . (int)($f['cols'] ?? 60) . '">'
                . "\n" . h($v) . '</textarea>';  // the browser drops one line break after the tag
        case 'PASSWORD':
            return '<input type="password" autocomplete="new-password"' . $attrs . ' value="">';
        case 'CHECKBOX':
            if (is_multiple($f) && !$forSearch) {
                return multiple_html($f, $name, $v);
            }
            $on = $v !== '' && filter_var($v, FILTER_VALIDATE_BOOLEAN);
            return hidden($name, '0') . '<input type="checkbox" value="1"' . $attrs . ($on ? ' checked' : '') . '>';
        case 'SELECT':
            $out = '<select' . $attrs . '><option value="">' . h(t('select.none')) . '</option>';
            $options = field_options($f);
            // A stored value that is no longer offered stays as it is until the user picks another.
            if ($v !== '' && !$forSearch && !array_key_exists($v, $options)) {
                $options = [$v => $v] + $options;
            }
            foreach ($options as $ov => $caption) {
                $sel = (string)$ov === $v ? ' selected' : '';
                $out .= '<option value="' . h($ov) . '"' . $sel . '>' . h($caption) . '</option>';
            }
            return $out . '</select>';
        case 'RADIO':
            $out = '';
            foreach (field_options($f) as $ov => $caption) {
                $sel = (string)$ov === $v ? ' checked' : '';
                $out .= '<label><input type="radio" name="' . h($name) . '" value="' . h($ov) . '"' . $sel . '> '
                    . h($caption) . '</label> ';
            }
            return $out;
        case 'HIDDEN':
            return hidden($name, $v);
        case 'FILE':
            return '<input type="file"' . $attrs . '>';
        case 'NO':
            return h(format_value($f, $value));
        default:
            $size = $f['size'] === null ? '' : ' size="' . (int)$f['size'] . '"';
            return '<input type="' . input_type($f, $forSearch) . '"' . $attrs . $size . ' value="' . h($v) . '">';
    }
}

// One box per choice of a field that holds several (a SET column); the empty
// hidden value says that the form sent the field even with no box ticked.
function multiple_html(array $f, string $name, string $v): string
{
    $chosen = $v === '' ? [] : explode(',', $v);
    $out = hidden($name, '');
    foreach (field_options($f) as $ov => $caption) {
        $on = in_array((string)$ov, $chosen, true) ? ' checked' : '';
        $out .= '<label><input type="checkbox" name="' . h($name) . '[]" value="' . h($ov) . '"' . $on . '> '
            . h($caption) . '</label> ';
    }
    return $out;
}

function input_type(array $f, bool $forSearch): string
{
    if ($forSearch) {
        return 'text';
    }
    return match ($f['validate']) {
        'email' => 'email',
        'url' => 'url',
        default => 'text',
    };
}

// Browser-side checks mirroring the server's.
function validation_attrs(array $f): string
{
    $a = '';
    if ($f['required'] && !in_array($f['control'], ['CHECKBOX', 'FILE', 'PASSWORD'], true)) {
        $a .= ' required';
    }
    if ($f['maxlen'] !== null) {
        $a .= ' maxlength="' . (int)$f['maxlen'] . '"';
    }
    $rule = $f['validate'];
    $pattern = in_array($rule, DATE_KINDS, true) ? date_input_pattern($f, $rule) : VALIDATION_PATTERNS[$rule] ?? null;
    if ($pattern !== null && $f['control'] === 'TEXT') {
        $a .= ' pattern="' . h($pattern) . '" title="' . h($f['error'] ?? invalid_message($f)) . '"';
    }
    return $a;
}
