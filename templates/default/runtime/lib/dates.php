<?php
// Dates, times and date-times: shown in the field's format (PHP date() letters
// from its 'format'), typed back in that format or in ISO, checked for
// impossible days and hours, and stored in ISO.
declare(strict_types=1);

namespace Zt;

const DATE_KINDS = ['date', 'datetime', 'time'];
const ISO_FORMATS = ['date' => 'Y-m-d', 'datetime' => 'Y-m-d H:i:s', 'time' => 'H:i:s'];

// The format letters a form can show and read back, with the text each matches.
const NUMERIC_DATE_LETTERS = [
    'd' => '[0-9]{1,2}', 'j' => '[0-9]{1,2}', 'm' => '[0-9]{1,2}', 'n' => '[0-9]{1,2}',
    'Y' => '[0-9]{4}', 'y' => '[0-9]{2}', 'H' => '[0-9]{1,2}', 'G' => '[0-9]{1,2}', 'i' => '[0-9]{2}', 's' => '[0-9]{2}',
];
const LETTER_HINTS = ['d' => 'DD', 'j' => 'D', 'm' => 'MM', 'n' => 'M', 'Y' => 'YYYY', 'y' => 'YY',
    'H' => 'HH', 'G' => 'H', 'i' => 'MM', 's' => 'SS'];

// The format dates of the field are shown in on lists and pages, or null to show them as stored.
function display_format(array $f): ?string
{
    $date = $f['format']['date'] ?? null;
    if (($f['format']['kind'] ?? '') !== 'date' || !is_string($date) || $f['category'] === 'time') {
        return null;
    }
    return $f['category'] === 'datetime' ? with_time($date) : $date;
}

// A date format of a datetime field gets the time when it has none.
function with_time(string $format): string
{
    return strpbrk($format, 'HGhgis') === false ? $format . ' H:i:s' : $format;
}

// The format of the field's form input: its display format if that is all digits, else ISO.
function input_format(array $f, string $kind): string
{
    $shown = display_format($f);
    if ($kind === 'time' || $shown === null || date_regex($shown) === null) {
        return ISO_FORMATS[$kind];
    }
    return $kind === 'date' ? $shown : with_time($shown);
}

// The formats a typed value may have: the input format, ISO, and for
// date-times each without seconds or without the time.
function accepted_formats(array $f, string $kind): array
{
    $formats = [];
    foreach (array_unique([input_format($f, $kind), ISO_FORMATS[$kind]]) as $format) {
        $formats[] = $format;
        if ($kind !== 'date') {
            $formats[] = str_replace(':s', '', $format);
        }
        if ($kind === 'datetime') {
            $formats[] = rtrim(substr($format, 0, strcspn($format, 'HGhgis')), ' T,');
        }
    }
    if ($kind === 'datetime') {
        $formats[] = 'Y-m-d\TH:i:s';
        $formats[] = 'Y-m-d\TH:i';
    }
    return array_values(array_unique($formats));
}

// The regular expression (without delimiters) of the text a format of numeric letters produces; null for other letters.
function date_regex(string $format): ?string
{
    $out = '';
    for ($i = 0, $n = strlen($format); $i < $n; $i++) {
        $c = $format[$i];
        if ($c === '\\' && $i + 1 < $n) {
            $c = $format[++$i];
        } elseif (ctype_alpha($c)) {
            if (!isset(NUMERIC_DATE_LETTERS[$c])) {
                return null;
            }
            $out .= NUMERIC_DATE_LETTERS[$c];
            continue;
        }
        $out .= strpbrk($c, '.\\/^$*+?()[]{}|') === false ? $c : '\\' . $c;
    }
    return $out;
}

// The typed value in ISO (Y-m-d, Y-m-d H:i:s or H:i:s), or null when it is no possible date or time.
function parse_date_input(array $f, string $kind, string $v): ?string
{
    foreach (accepted_formats($f, $kind) as $format) {
        $regex = date_regex($format);
        if ($regex === null || preg_match('/^' . $regex . '$/D', $v) !== 1) {
            continue;
        }
        $d = \DateTimeImmutable::createFromFormat('!' . $format, $v);
        if ($d !== false && \DateTimeImmutable::getLastErrors() === false) {
            return $d->format(ISO_FORMATS[$kind]);
        }
    }
    return null;
}

// A stored value (ISO date, date-time or time, as the databases give them) as a date, or null.
function stored_date(mixed $v): ?\DateTimeImmutable
{
    if (!is_string($v)) {
        return null;
    }
    if (preg_match('/^([0-9]{4}-[0-9]{2}-[0-9]{2})(?:[ T]([0-9]{2}:[0-9]{2})(:[0-9]{2})?)?/', $v, $p) === 1) {
        $text = $p[1] . ' ' . (($p[2] ?? '') === '' ? '00:00' : $p[2]) . (($p[3] ?? '') === '' ? ':00' : $p[3]);
    } elseif (preg_match('/^([0-9]{2}:[0-9]{2})(:[0-9]{2})?$/D', $v, $p) === 1) {
        $text = '1970-01-01 ' . $p[1] . (($p[2] ?? '') === '' ? ':00' : $p[2]);
    } else {
        return null;
    }
    $d = \DateTimeImmutable::createFromFormat('!Y-m-d H:i:s', $text);
    return $d === false || \DateTimeImmutable::getLastErrors() !== false ? null : $d;
}

// The kind of date a field holds (date, datetime, time), or null.
function date_kind(array $f): ?string
{
    foreach ([$f['validate'], $f['category']] as $kind) {
        if (in_array($kind, DATE_KINDS, true)) {
            return $kind;
        }
    }
    return null;
}

// A stored value as the form's input shows it; anything that is no date stays as it is.
function date_input_value(array $f, string $kind, mixed $v): string
{
    $d = stored_date($v);
    return $d === null ? (string)$v : $d->format(input_format($f, $kind));
}

// The HTML pattern of the field's input: every accepted format.
function date_input_pattern(array $f, string $kind): string
{
    return implode('|', array_map(static fn($format) => '(' . date_regex($format) . ')', accepted_formats($f, $kind)));
}

// The input format for people: DD/MM/YYYY, YYYY-MM-DD HH:MM ...
function date_hint(array $f, string $kind): string
{
    $format = $kind === 'time' ? 'H:i' : str_replace(':s', '', input_format($f, $kind));
    return strtr(preg_replace('/\\\\(.)/', '$1', $format), LETTER_HINTS);
}
