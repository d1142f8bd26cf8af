<?php
// Add, edit and copy: one form, checked on the server, written with one
// prepared INSERT or UPDATE. Copy is an add form filled from an existing row.
declare(strict_types=1);

namespace Zt;

function add_page(array $meta): void
{
    run(static fn() => edit_form($meta, 'add'));
}

function edit_page(array $meta): void
{
    run(static fn() => edit_form($meta, 'edit'));
}

function copy_page(array $meta): void
{
    run(static fn() => edit_form($meta, 'copy'));
}

function edit_form(array $meta, string $mode): void
{
    require_login();
    $m = table_meta($meta);
    if (!$m['perm'][$mode]) {
        throw new HttpError(404, 'error.not_found');
    }
    $page = $mode === 'edit' ? 'edit' : 'add';
    $key = $mode === 'add' ? null : request_key($m);
    if ($mode !== 'add' && $key === null) {
        throw new HttpError(404, 'error.not_found');
    }
    $errors = [];
    if (is_post()) {
        check_csrf();
        [$values, $errors] = read_form($m, $page);
        if ($errors === []) {
            $errors = save_row($m, $mode, $key, $values);
        }
        $shown = $values;
    } else {
        $shown = initial_values($m, $mode, $key);
    }
    render_form($m, $mode, $page, $key, $shown, $errors);
}

function initial_values(array $m, string $mode, ?array $key): array
{
    if ($mode === 'add') {
        $values = [];
        foreach ($m['fields'] as $name => $f) {
            $values[$name] = $f['default'];
        }
        foreach (param_map('m', $_GET) as $name => $v) {
            if (isset($m['master']['link'][$name])) {
                $values[$name] = $v;
            }
        }
        return $values;
    }
    $row = fetch_row($m, $key, fields_for($m, $mode === 'edit' ? 'edit' : 'add'));
    if ($row === null) {
        throw new HttpError(404, 'error.not_found');
    }
    if ($mode === 'copy') {
        foreach ($m['fields'] as $name => $f) {
            if ($f['auto'] || $f['category'] === 'blob' || $f['control'] === 'PASSWORD') {
                unset($row[$name]);
            }
        }
    }
    return $row;
}

// Writes the row; on success redirects to the list, else returns form errors.
function save_row(array $m, string $mode, ?array $key, array $values): array
{
    $db = db();
    if ($values === []) {
        throw new Redirect($m['pages']['list']);
    }
    $cols = array_map([$db, 'quote'], array_keys($values));
    if ($mode === 'edit') {
        [$where, $params] = key_where($m, $db, $key);
        $sql = 'UPDATE ' . $db->quote($m['table']) . ' SET ' . implode(' = ?, ', $cols) . ' = ?' . $where;
        $params = array_merge(array_values($values), $params);
    } else {
        $sql = 'INSERT INTO ' . $db->quote($m['table']) . ' (' . implode(', ', $cols) . ') VALUES ('
            . implode(', ', array_fill(0, count($cols), '?')) . ')';
        $params = array_values($values);
    }
    try {
        $db->run($sql, $params);
    } catch (\PDOException $e) {
        if (is_integrity_error($e)) {
            return ['' => t('save.refused')];
        }
        if ($m['kind'] === 'view') {
            return ['' => t('save.view_refused')];
        }
        throw $e;
    }
    flash(t($mode === 'edit' ? 'save.updated' : 'save.added'));
    throw new Redirect(list_url($m));
}

function render_form(array $m, string $mode, string $page, ?array $key, array $values, array $errors): void
{
    page_begin(t($mode . '.title', ['table' => $m['caption']]));
    if ($errors !== []) {
        echo '<ul class="zt-errors">';
        foreach ($errors as $e) {
            echo '<li>', h($e), '</li>';
        }
        echo "</ul>\n";
    }
    $action = url($m['pages'][$mode], ['key' => $key, 'm' => master_filter($m)]);
    echo '<form class="zt-form" method="post" enctype="multipart/form-data" action="', h($action), '">', csrf_field(), "\n<table>\n";
    foreach (fields_for($m, $page) as $name => $f) {
        if ($f['auto'] && $mode !== 'edit') {
            continue;
        }
        $control = $f['auto'] ? h(format_value($f, $values[$name] ?? null))
            : control_html($f, 'f[' . $name . ']', $values[$name] ?? null);
        if ($f['control'] === 'HIDDEN') {
            echo $control, "\n";
            continue;
        }
        $mark = $f['required'] ? ' <span class="zt-required">*</span>' : '';
        echo '<tr><th><label for="zt-f_', h($name), '_">', h($f['caption']), '</label>', $mark, '</th><td>', $control;
        if (isset($errors[$name])) {
            echo ' <span class="zt-error">', h($errors[$name]), '</span>';
        }
        echo "</td></tr>\n";
    }
    echo '</table><p><button type="submit">', h(t('save')), '</button> ',
        anchor(list_url($m), t('cancel')), "</p></form>\n";
    page_end();
}
