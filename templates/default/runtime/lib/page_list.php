<?php
// The list page (paging, sort, basic search, exports, multi-delete, row links)
// and the advanced search page that feeds it.
declare(strict_types=1);

namespace Zt;

function list_page(array $meta): void
{
    run(static function () use ($meta): void {
        require_login();
        $m = table_meta($meta);
        require_right($m, 'list');
        $m = user_meta($m);
        $s = list_state($m);
        if (($s['q'] !== '' || $s['s'] !== [] || $s['s2'] !== []) && !can(rights_table($m), 'search')) {
            throw new HttpError(403, 'error.forbidden');
        }
        $export = param('export');
        if ($export !== '') {
            if (!in_array($export, $m['perm']['export'], true)) {
                throw new HttpError(404, 'error.not_found');
            }
            require_right($m, 'export');
            export_rows($m, $s, $export);
            return;
        }
        render_list($m, $s);
    });
}

// A custom view is a read-only list of its SQL.
function custom_page(array $meta): void
{
    list_page(array_replace($meta, ['kind' => 'custom']));
}

function render_list(array $m, array $s): void
{
    $db = db();
    [$where, $params] = where_sql($m, $db, $s);
    $from = ' FROM ' . source_sql($m, $db);
    $fields = fields_for($m, 'list');
    try {
        $total = (int)$db->value('SELECT COUNT(*)' . $from . $where, $params);
        $pages = max(1, (int)ceil($total / $s['size']));
        $s['page'] = min($s['page'], $pages);
        $rows = $db->all('SELECT ' . select_sql($m, $db, $fields) . $from . $where . order_sql($m, $db, $s)
            . $db->limit($s['size'], ($s['page'] - 1) * $s['size']), $params);
    } catch (\PDOException $e) {
        // A search value the column's type cannot hold (checked by the database itself) finds nothing.
        if (!in_array(refusal_kind($e, $db->driver), ['value', 'range'], true) || $where === '') {
            throw $e;
        }
        $s['warnings'][] = t('search.refused');
        [$total, $pages, $rows] = [0, 1, []];
    }
    prime_captions($fields, $rows);

    page_begin($m['caption']);
    render_master_note($m, $s);
    foreach ($s['warnings'] as $w) {
        echo '<p class="zt-warning">', h($w), "</p>\n";
    }
    render_search_bar($m, $s);
    render_list_actions($m, $s);
    $multi = $m['perm']['multi_delete'] && can(rights_table($m), 'delete') && $rows !== [];
    if ($multi) {
        echo '<form method="post" action="', h(url($m['pages']['delete'], ['m' => $s['m']])), '">', csrf_field();
    }
    echo '<table class="zt-grid">', "\n<thead><tr>";
    if ($multi) {
        echo '<th><input type="checkbox" class="zt-select-all" aria-label="', h(t('select.all')), '"></th>';
    }
    echo '<th></th>';
    foreach ($fields as $name => $f) {
        echo '<th>', sort_link($m, $s, $f), '</th>';
    }
    echo "</tr></thead>\n<tbody>\n";
    foreach ($rows as $row) {
        render_list_row($m, $fields, $row, $multi, $s['m']);
    }
    echo "</tbody>\n</table>\n";
    if ($rows === []) {
        echo '<p class="zt-empty">', h(t('list.empty')), "</p>\n";
    }
    if ($multi) {
        echo '<p><button type="submit" name="multi" value="1">', h(t('delete.selected')), "</button></p></form>\n";
    }
    render_pager($m, $s, $total, $pages);
    page_end();
}

function render_list_row(array $m, array $fields, array $row, bool $multi, array $filter): void
{
    $key = $m['key'] === [] ? null : row_key($m, $row);
    echo '<tr>';
    if ($multi) {
        echo '<td><input type="checkbox" name="keys[]" value="', h(http_build_query(['key' => $key])), '"></td>';
    }
    echo '<td class="zt-links">', implode(' ', row_links($m, $key, $filter)), '</td>';
    foreach ($fields as $name => $f) {
        echo '<td>', value_html($m, $f, $row, 'list'), '</td>';
    }
    echo "</tr>\n";
}

// View, edit, copy, delete and detail links of one row.
function row_links(array $m, ?array $key, array $filter = []): array
{
    if ($key === null) {
        return [];
    }
    $links = [];
    foreach (['view', 'edit', 'copy', 'delete'] as $kind) {
        if ($m['perm'][$kind] && can(rights_table($m), $kind)) {
            $links[] = anchor(url($m['pages'][$kind], ['key' => $key, 'm' => $filter]), t('link.' . $kind), 'zt-' . $kind);
        }
    }
    foreach ($m['details'] as $d) {
        $filter = [];
        foreach ($d['link'] as $detailField => $masterField) {
            $filter[$detailField] = $key[$masterField] ?? null;
        }
        if (!in_array(null, $filter, true) && (!isset($d['table']) || can((string)$d['table'], 'list'))) {
            $links[] = anchor(url($d['page'], ['m' => $filter]), $d['caption'], 'zt-detail');
        }
    }
    return $links;
}

function sort_link(array $m, array $s, array $f): string
{
    if ($f['category'] === 'blob') {
        return h($f['caption']);
    }
    $dir = $s['sort'] === $f['name'] && $s['dir'] === 'asc' ? 'desc' : 'asc';
    $mark = $s['sort'] === $f['name'] ? ($s['dir'] === 'asc' ? ' ▲' : ' ▼') : '';
    $href = url($m['pages']['list'], state_query($s, ['sort' => $f['name'], 'dir' => $dir, 'page' => 1]));
    return '<a href="' . h($href) . '">' . h($f['caption']) . $mark . '</a>';
}

function render_master_note(array $m, array $s): void
{
    if ($m['master'] === null || $s['m'] === []) {
        return;
    }
    $parts = [];
    foreach ($s['m'] as $name => $v) {
        $parts[] = $m['fields'][$name]['caption'] . ' = ' . $v;
    }
    echo '<p class="zt-master">', h(t('master.filter', ['master' => $m['master']['caption'], 'filter' => implode(', ', $parts)])),
        ' ', anchor($m['master']['page'], t('master.back')), "</p>\n";
}

function render_search_bar(array $m, array $s): void
{
    if (!can(rights_table($m), 'search')) {
        return;
    }
    $hasBasic = array_filter($m['fields'], static fn($f) => $f['basic_search']) !== [];
    if (!$hasBasic && !$m['perm']['search']) {
        return;
    }
    echo '<form class="zt-search" method="get" action="', h($m['pages']['list']), '">';
    foreach ($s['m'] as $name => $v) {
        echo hidden('m[' . $name . ']', $v);
    }
    if ($hasBasic) {
        echo '<input type="search" name="q" value="', h($s['q']), '" aria-label="', h(t('search')), '"> ',
            '<button type="submit">', h(t('search')), '</button> ';
    }
    echo anchor(url($m['pages']['list'], ['m' => $s['m']]), t('search.reset'));
    if ($m['perm']['search']) {
        echo ' ', anchor($m['pages']['search'], t('search.advanced'));
    }
    echo "</form>\n";
}

function render_list_actions(array $m, array $s): void
{
    $links = [];
    if ($m['perm']['add'] && can(rights_table($m), 'add')) {
        $links[] = anchor(url($m['pages']['add'], ['m' => $s['m']]), t('link.add'), 'zt-add');
    }
    foreach (can(rights_table($m), 'export') ? $m['perm']['export'] : [] as $kind) {
        $links[] = anchor(url($m['pages']['list'], state_query($s, ['export' => $kind, 'page' => 1])),
            t('export.' . $kind), 'zt-export');
    }
    if ($links !== []) {
        echo '<p class="zt-actions">', implode(' ', $links), "</p>\n";
    }
}

function render_pager(array $m, array $s, int $total, int $pages): void
{
    $first = $total === 0 ? 0 : ($s['page'] - 1) * $s['size'] + 1;
    $last = min($total, $s['page'] * $s['size']);
    echo '<nav class="zt-pager"><span>', h(t('pager.records', ['from' => $first, 'to' => $last, 'total' => $total])), '</span> ';
    $link = static fn(int $p, string $text) => anchor(url($m['pages']['list'], state_query($s, ['page' => $p])), $text);
    if ($s['page'] > 1) {
        echo $link(1, t('pager.first')), ' ', $link($s['page'] - 1, t('pager.prev')), ' ';
    }
    if ($m['paging']['style'] === 'numeric') {
        for ($p = max(1, $s['page'] - 5); $p <= min($pages, $s['page'] + 5); $p++) {
            echo $p === $s['page'] ? '<strong>' . $p . '</strong> ' : $link($p, (string)$p) . ' ';
        }
    } else {
        echo h(t('pager.page', ['page' => $s['page'], 'pages' => $pages])), ' ';
    }
    if ($s['page'] < $pages) {
        echo $link($s['page'] + 1, t('pager.next')), ' ', $link($pages, t('pager.last'));
    }
    if (count($m['paging']['sizes']) > 1) {
        echo '<form method="get" action="', h($m['pages']['list']), '" class="zt-size">';
        foreach (state_query($s, ['size' => '', 'page' => '']) as $name => $v) {
            foreach (flatten_query($name, $v) as $n => $value) {
                echo hidden($n, $value);
            }
        }
        echo '<select name="size" aria-label="', h(t('pager.size')), '">';
        foreach ($m['paging']['sizes'] as $size) {
            echo '<option', $size === $s['size'] ? ' selected' : '', '>', (int)$size, '</option>';
        }
        echo '</select> <button type="submit">', h(t('pager.show')), '</button></form>';
    }
    echo "</nav>\n";
}

// name => value pairs of hidden fields for a query parameter that may be an array.
function flatten_query(string $name, mixed $v): array
{
    if (!is_array($v)) {
        return $v === '' || $v === null ? [] : [$name => (string)$v];
    }
    $out = [];
    foreach ($v as $k => $x) {
        $out += flatten_query($name . '[' . $k . ']', $x);
    }
    return $out;
}

function search_page(array $meta): void
{
    run(static function () use ($meta): void {
        require_login();
        $m = table_meta($meta);
        if (!$m['perm']['search']) {
            throw new HttpError(404, 'error.not_found');
        }
        require_right($m, 'search');
        $m = user_meta($m);
        page_begin(t('search.title', ['table' => $m['caption']]));
        echo '<form class="zt-form" method="get" action="', h($m['pages']['list']), '">', "\n<table>\n";
        foreach (fields_for($m, 'search') as $name => $f) {
            $op = $f['search_op'];
            echo '<tr><th><label for="zt-s_', h($name), '_">', h($f['caption']), '</label></th><td>',
                $op === 'USER' ? operator_select($f) : h(t('op.' . $op)), '</td><td>',
                control_html($f, 's[' . $name . ']', '', true);
            if ($op === 'BETWEEN' || $f['search_op2'] !== null) {
                echo ' ', h($op === 'BETWEEN' ? t('op.and') : t('op.' . $f['search_op2'])), ' ',
                    control_html($f, 's2[' . $name . ']', '', true);
            }
            echo "</td></tr>\n";
        }
        echo '</table><p><button type="submit">', h(t('search')), '</button> ',
            anchor($m['pages']['list'], t('cancel')), "</p></form>\n";
        page_end();
    });
}

// The operator choice of a field whose search operator is USER.
function operator_select(array $f): string
{
    $out = '<select name="so[' . h($f['name']) . ']" aria-label="' . h(t('search.operator')) . '">';
    foreach (OPERATORS as $op) {
        if (user_operator($f, $op) === $op) {
            $out .= '<option value="' . h($op) . '">' . h(t('op.' . $op)) . '</option>';
        }
    }
    return $out . '</select>';
}
