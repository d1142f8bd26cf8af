<?php
// The grouped report: rows ordered by the group fields, a header per group,
// sum/avg/min/max per group and for the whole report.
declare(strict_types=1);

namespace Zt;

function report_page(array $meta): void
{
    run(static function () use ($meta): void {
        require_login();
        $m = table_meta(array_replace(['report' => []], $meta, ['kind' => 'report']));
        require_right($m, 'list');
        $r = $m['report'];
        $db = db();
        [$own, $params] = owner_sql($m, $db);
        $fields = fields_for($m, 'list');
        $order = array_map(static fn($g) => $db->quote($g) . ' ASC', $r['group_by']);
        $rest = order_sql(array_replace($m, ['key' => []]), $db, list_state($m));
        $orderSql = $order === [] ? $rest : ' ORDER BY ' . implode(', ', $order) . ($rest === '' ? '' : ', ' . substr($rest, 10));
        $shown = $fields + array_intersect_key($m['fields'], array_flip($r['group_by']));
        $rows = $db->all('SELECT ' . select_sql($m, $db, $shown) . ' FROM ' . source_sql($m, $db)
            . ($own === '' ? '' : ' WHERE ' . $own) . $orderSql, $params);
        prime_captions($shown, $rows);
        page_begin($m['caption']);
        render_report($m, $r, $fields, $rows);
        page_end();
    });
}

function render_report(array $m, array $r, array $fields, array $rows): void
{
    $detail = array_diff_key($fields, array_flip($r['group_by']));
    echo '<table class="zt-grid zt-report">', "\n<thead><tr>";
    foreach ($detail as $f) {
        echo '<th>', h($f['caption']), '</th>';
    }
    echo "</tr></thead>\n<tbody>\n";
    $groupOf = static fn(array $row) => array_map(static fn($g) => $row[$g], $r['group_by']);
    $current = null;
    $groupRows = [];
    foreach ($rows as $row) {
        $g = $groupOf($row);
        if ($current !== null && $g !== $current) {
            render_summary($m, $r, $detail, $groupRows, t('report.summary'));
            $groupRows = [];
        }
        if ($g !== $current && $r['group_by'] !== []) {
            $parts = [];
            foreach ($r['group_by'] as $name) {
                $parts[] = $m['fields'][$name]['caption'] . ': ' . format_value($m['fields'][$name], $row[$name]);
            }
            echo '<tr class="zt-group"><th colspan="', count($detail), '">', h(implode(' / ', $parts)), "</th></tr>\n";
        }
        $current = $g;
        $groupRows[] = $row;
        if ($r['show_details']) {
            echo '<tr>';
            foreach ($detail as $f) {
                echo '<td>', value_html($m, $f, $row, 'list'), '</td>';
            }
            echo "</tr>\n";
        }
    }
    if ($groupRows !== [] && $r['group_by'] !== []) {
        render_summary($m, $r, $detail, $groupRows, t('report.summary'));
    }
    if ($r['grand_total']) {
        render_summary($m, $r, $detail, $rows, t('report.grand_total'));
    }
    echo "</tbody>\n</table>\n";
}

// One line per aggregate kind in use, the value under its field.
function render_summary(array $m, array $r, array $detail, array $rows, string $label): void
{
    foreach (AGGREGATES as $agg) {
        $used = array_filter($r['aggregates'], static fn($aggs) => in_array($agg, (array)$aggs, true));
        if ($used === []) {
            continue;
        }
        echo '<tr class="zt-summary">';
        $first = true;
        foreach ($detail as $name => $f) {
            $cell = isset($used[$name]) ? format_value($f, aggregate($agg, array_column($rows, $name))) : '';
            if ($first && $cell === '') {
                $cell = $label . ' ' . t('report.' . $agg) . ' (' . count($rows) . ')';
            }
            $first = false;
            echo '<td>', h($cell), '</td>';
        }
        echo "</tr>\n";
    }
}

function aggregate(string $agg, array $values): int|float|null
{
    $nums = array_map('floatval', array_filter($values, 'is_numeric'));
    if ($nums === []) {
        return null;
    }
    return match ($agg) {
        'sum' => array_sum($nums),
        'avg' => array_sum($nums) / count($nums),
        'min' => min($nums),
        'max' => max($nums),
    };
}
