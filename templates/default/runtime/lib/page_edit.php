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
    require_right($m, $mode);
    $m = user_meta($m);
    $page = $mode === 'edit' ? 'edit' : 'add';
    $key = $mode === 'add' ? null : request_key($m);
    $current = $key === null ? null : fetch_row($m, $key, $m['fields']);
    if ($mode !== 'add' && $current === null) {
        throw new HttpError(404, 'error.not_found');
    }
    $errors = [];
    if (is_post()) {
        check_csrf();
        [$values, $errors] = read_form($m, $page, $mode);
        if ($mode !== 'edit') {
            $values = array_replace($values, owner_values($m));
        }
        if ($errors === []) {
            require_own_master($m, array_replace($mode === 'edit' ? $current : [], $values));
        }
        if ($mode === 'copy' && $errors === []) {
            $values += carried_files($m, $key, $values);
            $errors = missing_files($m, $values);
        }
        if ($errors === []) {
            $errors = save_row($m, $mode, $key, $values);
        }
        $shown = posted_shown($m, $page, $values);
        $tokens = posted_tokens();
    } else {
        $shown = initial_values($m, $mode, $key);
        $tokens = $mode === 'edit' ? original_tokens($m, $shown) : [];
    }
    render_form($m, $mode, $page, $key, $shown, $errors, $tokens);
}

// A refused form shows again what was posted, also the fields that were
// left out of the write because they came back unchanged.
function posted_shown(array $m, string $page, array $values): array
{
    foreach (fields_for($m, $page) as $name => $f) {
        if (!array_key_exists($name, $values) && $f['control'] !== 'FILE') {
            $text = posted_text($f, $name);
            if ($text !== null) {
                $values[$name] = $text;
            }
        }
    }
    return $values;
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
            if ($f['auto'] || $f['control'] === 'PASSWORD') {
                unset($row[$name]);
            }
        }
    }
    return $row;
}

// Required files a copy has neither carried over nor been given.
function missing_files(array $m, array $values): array
{
    $errors = [];
    foreach (fields_for($m, 'add') as $name => $f) {
        if ($f['control'] === 'FILE' && $f['required'] && ($values[$name] ?? null) === null) {
            $errors[$name] = t('invalid.required', ['field' => $f['caption']]);
        }
    }
    return $errors;
}

// Writes the row; on success redirects to the list, else returns form errors.
// Stored files: the new ones are written first and removed again if the
// database refuses the row; the replaced ones are removed only after it took it.
function save_row(array $m, string $mode, ?array $key, array $values): array
{
    $db = db();
    if ($values === []) {
        throw new Redirect($m['pages']['list']);
    }
    $replaced = $mode === 'edit' ? stored_names($m, [$key], array_keys($values)) : [];
    $written = write_new_files($values);
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
        array_map('Zt\unlink_stored', $written);
        $refusal = refusal_errors($m, $e, $db->driver, $values);
        if ($refusal !== null) {
            return $refusal;
        }
        if ($m['kind'] === 'view') {
            return ['' => t('save.view_refused')];
        }
        throw $e;
    }
    remove_unused_files($m, $replaced);
    flash(t($mode === 'edit' ? 'save.updated' : 'save.added'));
    throw new Redirect(list_url($m));
}

function render_form(array $m, string $mode, string $page, ?array $key, array $values, array $errors, array $tokens): void
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
    echo '<form class="zt-form" method="post" enctype="multipart/form-data" action="', h($action), '">', csrf_field(), token_fields($tokens), "\n<table>\n";
    foreach (fields_for($m, $page) as $name => $f) {
        if ($f['auto'] && $mode !== 'edit') {
            continue;
        }
        // The database fills an empty one with its default.
        $f['required'] = $f['required'] && !($page === 'add' && $f['db_default']);
        $control = $f['auto'] ? h(format_value($f, $values[$name] ?? null))
            : control_html($f, 'f[' . $name . ']', $values[$name] ?? null);
        if ($f['control'] === 'FILE' && $key !== null) {
            $control .= current_file_html($m, $f, $key, $values[$name] ?? null);
        }
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

// Beside the file input of edit and copy: the file the row has now and a box to clear it.
function current_file_html(array $m, array $f, array $key, mixed $value): string
{
    if (!is_scalar($value) || $value === '' || $value === false) {
        return '';
    }
    $out = ' ' . anchor(url($m['pages']['blob'], ['fld' => $f['name'], 'key' => $key]), t('blob.open'));
    if (!$f['required']) {
        $out .= ' <label><input type="checkbox" name="clear[' . h($f['name']) . ']" value="1"> '
            . h(t('upload.clear')) . '</label>';
    }
    return $out;
}
