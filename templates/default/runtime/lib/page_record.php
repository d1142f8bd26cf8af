<?php
// Pages about existing rows: view, delete (one row by key or several from the
// list's multi-delete, always confirmed by a POST with the CSRF token) and
// the blob viewer.
declare(strict_types=1);

namespace Zt;

function view_page(array $meta): void
{
    run(static function () use ($meta): void {
        require_login();
        $m = table_meta($meta);
        if (!$m['perm']['view']) {
            throw new HttpError(404, 'error.not_found');
        }
        require_right($m, 'view');
        $key = request_key($m);
        $row = $key === null ? null : fetch_row($m, $key, fields_for($m, 'view'));
        if ($row === null) {
            throw new HttpError(404, 'error.not_found');
        }
        page_begin(t('view.title', ['table' => $m['caption']]));
        render_record($m, $row, fields_for($m, 'view'));
        $links = row_links($m, row_key($m, $row), master_filter($m));
        echo '<p class="zt-actions">', implode(' ', $links), ' ', anchor(list_url($m), t('back.list')), "</p>\n";
        page_end();
    });
}

function render_record(array $m, array $row, array $fields): void
{
    echo '<table class="zt-record">', "\n";
    foreach ($fields as $name => $f) {
        echo '<tr><th>', h($f['caption']), '</th><td>', value_html($m, $f, $row, 'view'), "</td></tr>\n";
    }
    echo "</table>\n";
}

function delete_page(array $meta): void
{
    run(static function () use ($meta): void {
        require_login();
        $m = table_meta($meta);
        if (!$m['perm']['delete']) {
            throw new HttpError(404, 'error.not_found');
        }
        require_right($m, 'delete');
        // Only rows the user may reach: another user's key is as absent as a wrong one.
        $keys = array_values(array_filter(delete_keys($m), static fn($k) => fetch_row($m, $k, []) !== null));
        if ($keys === []) {
            throw new HttpError(404, 'error.not_found');
        }
        if (is_post()) {
            check_csrf();
            if (param('confirm') === '1') {
                delete_rows($m, $keys);
                return;
            }
        }
        render_delete_confirm($m, $keys);
    });
}

// The keys to delete: key[...] for one row, keys[] (query strings from the list) for several.
function delete_keys(array $m): array
{
    $many = $_POST['keys'] ?? null;
    if (!is_array($many)) {
        $one = request_key($m);
        return $one === null ? [] : [$one];
    }
    if (!$m['perm']['multi_delete']) {
        return [];
    }
    $keys = [];
    foreach ($many as $encoded) {
        if (!is_string($encoded)) {
            continue;
        }
        parse_str($encoded, $parsed);
        $key = request_key($m, $parsed);
        if ($key !== null) {
            $keys[] = $key;
        }
    }
    return array_slice($keys, 0, 1000);
}

function render_delete_confirm(array $m, array $keys): void
{
    page_begin(t('delete.title', ['table' => $m['caption']]));
    $fields = fields_for($m, 'list');
    $rows = [];
    foreach ($keys as $key) {
        $row = fetch_row($m, $key, $fields);
        if ($row !== null) {
            $rows[] = $row;
        }
    }
    if ($rows === []) {
        throw new HttpError(404, 'error.not_found');
    }
    prime_captions($fields, $rows);
    echo '<p>', h(t('delete.confirm', ['n' => count($rows)])), "</p>\n";
    echo '<form method="post" action="', h(url($m['pages']['delete'], ['m' => master_filter($m)])), '">', csrf_field(),
        hidden('confirm', '1');
    echo '<table class="zt-grid"><thead><tr>';
    foreach ($fields as $f) {
        echo '<th>', h($f['caption']), '</th>';
    }
    echo "</tr></thead><tbody>\n";
    foreach ($rows as $row) {
        echo '<tr>';
        foreach ($fields as $f) {
            echo '<td>', value_html($m, $f, $row, 'list'), '</td>';
        }
        echo '<td>', hidden('keys[]', http_build_query(['key' => row_key($m, $row)])), "</td></tr>\n";
    }
    echo '</tbody></table><p><button type="submit">', h(t('delete')), '</button> ',
        anchor(list_url($m), t('cancel')), "</p></form>\n";
    page_end();
}

// Deletes the rows in one transaction; their stored files go once it is committed.
function delete_rows(array $m, array $keys): void
{
    $db = db();
    $files = stored_names($m, $keys, array_keys($m['fields']));
    $done = 0;
    try {
        $db->pdo->beginTransaction();
        foreach ($keys as $key) {
            [$where, $params] = key_where($m, $db, $key);
            $done += $db->run('DELETE FROM ' . $db->quote($m['table']) . $where, $params)->rowCount();
        }
        $db->pdo->commit();
    } catch (\PDOException $e) {
        $db->pdo->rollBack();
        if (!is_integrity_error($e) && $m['kind'] !== 'view') {
            throw $e;
        }
        flash(t(is_integrity_error($e) ? 'delete.refused' : 'save.view_refused'));
        throw new Redirect(list_url($m));
    }
    remove_unused_files($m, $files);
    flash(t('delete.done', ['n' => $done]));
    throw new Redirect(list_url($m));
}

// Streams one blob field of one row, or the uploaded file a FILE field names,
// with a checked content type.
function blob_page(array $meta): void
{
    run(static function () use ($meta): void {
        require_login();
        $m = table_meta($meta);
        $name = param('fld');
        $f = $m['fields'][$name] ?? null;
        $key = request_key($m);
        $isFile = $f !== null && ($f['category'] === 'blob' || $f['control'] === 'FILE');
        if (!$isFile || !($f['view'] || $f['list']) || $key === null) {
            throw new HttpError(404, 'error.not_found');
        }
        if (!can(rights_table($m), 'view') && !can(rights_table($m), 'list')) {
            throw new HttpError(403, 'error.forbidden');
        }
        $row = fetch_row($m, $key, [$name => $f + ['blob_data' => true]]);
        if ($row === null) {
            throw new HttpError(404, 'error.not_found');
        }
        $data = $f['category'] === 'blob' ? ($row[$name] ?? null) : uploaded_file((string)($row[$name] ?? ''));
        if (!is_string($data) || $data === '') {
            throw new HttpError(404, 'error.not_found');
        }
        $type = (new \finfo(FILEINFO_MIME_TYPE))->buffer($data);
        $allowed = array_values($f['upload_types'] ?? config('upload_types'));
        $inline = in_array($type, $allowed, true) && str_starts_with((string)$type, 'image/');
        discard_output();
        header('Content-Type: ' . ($inline ? $type : 'application/octet-stream'));
        header('Content-Length: ' . strlen($data));
        header('Content-Disposition: ' . ($inline ? 'inline' : 'attachment; filename="' . preg_replace('/[^A-Za-z0-9_]/', '_', $name) . '"'));
        echo $data;
        ob_start();
    });
}
