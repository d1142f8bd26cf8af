<?php
// Exports of the whole filtered, sorted set of a list: CSV, HTML, Excel and
// Word (as HTML tables those programs open) and XML. Rows are read and
// written in batches, so an export of any size holds one batch in memory.
declare(strict_types=1);

namespace Zt;

const EXPORT_TYPES = [
    'csv' => ['text/csv; charset=utf-8', 'csv'],
    'html' => ['text/html; charset=utf-8', 'html'],
    'excel' => ['application/vnd.ms-excel; charset=utf-8', 'xls'],
    'word' => ['application/msword; charset=utf-8', 'doc'],
    'xml' => ['application/xml; charset=utf-8', 'xml'],
];

const EXPORT_BATCH = 500;

function export_rows(array $m, array $s, string $kind): void
{
    $fields = array_filter(fields_for($m, 'list'), static fn($f) => $f['category'] !== 'blob');
    $batches = export_batches($m, $s, $fields);
    $batches->current(); // runs the first query before any header goes out
    $rows = $batches->valid() ? $batches : []; // a finished generator cannot be walked again
    discard_output();
    [$type, $ext] = EXPORT_TYPES[$kind];
    $file = preg_replace('/[^A-Za-z0-9_\-]/', '_', $m['file']) . '.' . $ext;
    header('Content-Type: ' . $type);
    header('Content-Disposition: attachment; filename="' . $file . '"');
    $out = fopen('php://output', 'wb');
    match ($kind) {
        'csv' => export_csv($out, $fields, $rows),
        'xml' => export_xml($out, $m, $fields, $rows),
        default => export_html($out, $m, $fields, $rows),
    };
    fclose($out);
    ob_start(); // run() closes one buffer
}

// The rows of the export, one batch per query, with the lookup captions of that batch.
function export_batches(array $m, array $s, array $fields): \Generator
{
    $db = db();
    [$where, $params] = where_sql($m, $db, $s);
    $order = order_sql($m, $db, $s);
    if ($order === '') {
        // Without a key or sort, batches still need one fixed order.
        $order = ' ORDER BY ' . implode(', ', range(1, count(array_unique(array_merge($m['key'], array_keys($fields))))));
    }
    $sql = 'SELECT ' . select_sql($m, $db, $fields) . ' FROM ' . source_sql($m, $db) . $where . $order;
    for ($offset = 0; ; $offset += EXPORT_BATCH) {
        $batch = $db->all($sql . $db->limit(EXPORT_BATCH, $offset), $params);
        forget_captions();
        prime_captions($fields, $batch);
        yield from $batch;
        if (count($batch) < EXPORT_BATCH) {
            return;
        }
    }
}

function export_csv($out, array $fields, iterable $rows): void
{
    fwrite($out, "\xEF\xBB\xBF");
    fputcsv($out, array_column($fields, 'caption'), ',', '"', '');
    foreach ($rows as $row) {
        $cells = [];
        foreach ($fields as $name => $f) {
            $cells[] = csv_cell(format_value($f, $row[$name]));
        }
        fputcsv($out, $cells, ',', '"', '');
    }
}

// A cell that a spreadsheet would run as a formula is prefixed with a quote.
function csv_cell(string $v): string
{
    return $v !== '' && strpbrk($v[0], "=+@\t\r") !== false ? "'" . $v : $v;
}

function export_html($out, array $m, array $fields, iterable $rows): void
{
    fwrite($out, "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" . h($m['caption'])
        . "</title></head><body>\n<table border=\"1\">\n<tr>");
    foreach ($fields as $f) {
        fwrite($out, '<th>' . h($f['caption']) . '</th>');
    }
    fwrite($out, "</tr>\n");
    foreach ($rows as $row) {
        fwrite($out, '<tr>');
        foreach ($fields as $name => $f) {
            fwrite($out, '<td>' . h(format_value($f, $row[$name])) . '</td>');
        }
        fwrite($out, "</tr>\n");
    }
    fwrite($out, "</table>\n</body></html>\n");
}

function export_xml($out, array $m, array $fields, iterable $rows): void
{
    // Control characters other than tab and line breaks are not allowed in XML 1.0.
    $x = static fn($v) => htmlspecialchars((string)preg_replace('/[\x00-\x08\x0B\x0C\x0E-\x1F]/', '', (string)$v),
        ENT_QUOTES | ENT_XML1 | ENT_SUBSTITUTE, 'UTF-8');
    fwrite($out, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<table name=\"" . $x($m['table']) . "\">\n");
    foreach ($rows as $row) {
        fwrite($out, "<row>");
        foreach ($fields as $name => $f) {
            $v = $row[$name];
            fwrite($out, '<field name="' . $x($name) . '"' . ($v === null ? ' null="1"/>' : '>' . $x($v) . '</field>'));
        }
        fwrite($out, "</row>\n");
    }
    fwrite($out, "</table>\n");
}
