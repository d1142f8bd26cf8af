#!/usr/bin/python3
"""Writes the workload's schema (gen_schema.py's JSON) as the template's data
script and the database that gives generation its tables.

    schema_vbs.py SCHEMA.json OUT/schema.vbs OUT/tables.sql
"""
import json
import sys

TYPES = {'int': 'INTEGER', 'varchar': 'VARCHAR(%d)', 'text': 'TEXT', 'date': 'DATE', 'decimal': 'DECIMAL(12,%d)',
         'bool': 'BOOLEAN'}
FIELD_KEYS = ['name', 'type', 'caption', 'pk', 'autoinc', 'size', 'scale', 'nullable', 'required', 'unique',
              'has_default', 'default', 'list_visible', 'view_visible', 'add_visible', 'edit_visible', 'search_visible',
              'sortable', 'lookup', 'edit_tag', 'validate', 'vmin', 'vmax', 'regex', 'placeholder', 'help', 'search_op',
              'date_format', 'step', 'align', 'list_truncate', 'rows', 'unit', 'css']


def vbs(value):
    if isinstance(value, bool):
        return 'True' if value else 'False'
    if isinstance(value, int):
        return str(value)
    return '"' + str(value).replace('"', '""') + '"'


def field_args(f):
    out = []
    for key in FIELD_KEYS:
        if key == 'lookup':
            lk = f['lookup'] or {'table': '', 'key': '', 'display': '', 'link': False}
            out += [vbs(lk['table']), vbs(lk['key']), vbs(lk['display']), vbs(lk['link'])]
        else:
            out.append(vbs(f[key]))
    return ', '.join(out)


def column(f):
    kind = TYPES[f['type']]
    if f['type'] == 'varchar':
        kind %= f['size']
    elif f['type'] == 'decimal':
        kind %= f['scale']
    return '"%s" %s%s' % (f['name'], kind, ' PRIMARY KEY' if f['pk'] else '')


def main():
    schema = json.load(open(sys.argv[1], encoding='utf-8'))
    app = schema['app']
    lines = ['Set gBenchApp = New BenchAppData',
             'gBenchApp.generator = %s : gBenchApp.version = %s' % (vbs(app['generator']), vbs(app['version'])),
             'gBenchApp.operators = Array("=", "<>", "<", ">", "LIKE", "BETWEEN")', 'Dim bt']
    sql = ['BEGIN;']
    for t in schema['tables']:
        lines.append('Set bt = BenchNewTable(%s, %d)' % (', '.join(vbs(t[k]) for k in (
            'name', 'caption', 'description', 'page_size', 'allow_add', 'allow_edit', 'allow_delete', 'sort_dir')),
            len(t['fields'])))
        lines += ['BenchAddField bt, ' + field_args(f) for f in t['fields']]
        lines.append('BenchEndTable bt, ' + vbs(t['sort_field']))
        sql.append('CREATE TABLE "%s" (%s);' % (t['name'], ', '.join(column(f) for f in t['fields'])))
    sql.append('COMMIT;')
    with open(sys.argv[2], 'w', encoding='utf-8', newline='') as out:
        out.write('\r\n'.join(lines) + '\r\n')
    with open(sys.argv[3], 'w', encoding='utf-8') as out:
        out.write('\n'.join(sql) + '\n')


if __name__ == '__main__':
    main()
