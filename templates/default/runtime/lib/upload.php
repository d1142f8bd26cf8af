<?php
// File uploads: checked on arrival, kept in a blob column or as a stored file
// in upload_dir under a random name. A stored file is written just before the
// row that names it and removed once no row names it any more, so a failed
// change leaves the folder as it was.
declare(strict_types=1);

namespace Zt;

// Never stored from an upload, whatever the configuration allows: a web server may run these.
const SCRIPT_EXTENSIONS = '/^(php\d?|phtml|pht|phps|phar|inc|cgi|pl|py|sh|asp|aspx|jsp|shtml|htaccess|svg|html?|js)$/D';
const STORED_NAME = '/^[0-9a-f]{32}\.[a-z0-9]{1,8}$/D';

// A file to be stored for a text field when its row is written.
final class NewFile
{
    public function __construct(public string $ext, public string $data)
    {
    }
}

// Whether a field keeps its value in a file of upload_dir rather than in the column.
function is_stored_file_field(array $f): bool
{
    return $f['control'] === 'FILE' && $f['category'] !== 'blob';
}

// A checked upload: [Blob, NewFile or null when none was sent, error or null].
function read_upload(array $f, string $name): array
{
    $u = $_FILES['f'] ?? null;
    if (!is_array($u) || !isset($u['error'][$name]) || !is_int($u['error'][$name])
        || $u['error'][$name] === UPLOAD_ERR_NO_FILE) {
        return [null, null];
    }
    if ($u['error'][$name] !== UPLOAD_ERR_OK) {
        return [null, t('upload.failed', ['field' => $f['caption']])];
    }
    $tmp = (string)$u['tmp_name'][$name];
    $size = (int)$u['size'][$name];
    $max = (int)($f['max_upload'] ?? config('max_upload'));
    if ($size <= 0 || $size > $max || !is_uploaded_file($tmp)) {
        return [null, t('upload.size', ['field' => $f['caption'], 'n' => $max])];
    }
    $types = $f['upload_types'] ?? config('upload_types');
    $ext = strtolower(pathinfo((string)$u['name'][$name], PATHINFO_EXTENSION));
    $actual = (new \finfo(FILEINFO_MIME_TYPE))->file($tmp);
    if (!isset($types[$ext]) || $types[$ext] !== $actual || preg_match(SCRIPT_EXTENSIONS, $ext) === 1) {
        return [null, t('upload.type', ['field' => $f['caption']])];
    }
    $data = (string)file_get_contents($tmp);
    if ($f['category'] === 'blob') {
        return [new Blob($data), null];
    }
    if (config('upload_dir') === null) {
        return [null, t('upload.failed', ['field' => $f['caption']])];
    }
    return [new NewFile($ext, $data), null];
}

// The path of a stored file by the name the runtime gave it; null for any other name.
function stored_path(string $stored): ?string
{
    $dir = config('upload_dir');
    if ($dir === null || preg_match(STORED_NAME, $stored) !== 1) {
        return null;
    }
    return app_path($dir) . '/' . $stored;
}

// The content of a stored file, or null when there is none.
function uploaded_file(string $stored): ?string
{
    $path = stored_path($stored);
    return $path !== null && is_file($path) ? (string)file_get_contents($path) : null;
}

// Writes every NewFile of $values under a fresh name and puts the name in its place.
// Returns the names written.
function write_new_files(array &$values): array
{
    $written = [];
    foreach ($values as $name => $v) {
        if ($v instanceof NewFile) {
            $stored = bin2hex(random_bytes(16)) . '.' . $v->ext;
            file_put_contents((string)stored_path($stored), $v->data, LOCK_EX);
            $values[$name] = $written[] = $stored;
        }
    }
    return $written;
}

function unlink_stored(string $stored): void
{
    $path = stored_path($stored);
    if ($path !== null && is_file($path)) {
        unlink($path);
    }
}

// The stored file names the rows with these keys have in the given fields: [[field, name], ...].
function stored_names(array $m, array $keys, array $fieldNames): array
{
    $fields = array_intersect_key($m['fields'], array_flip($fieldNames));
    $fields = array_filter($fields, 'Zt\is_stored_file_field');
    $names = [];
    foreach ($fields === [] ? [] : $keys as $key) {
        foreach (fetch_row($m, $key, $fields) ?? [] as $name => $v) {
            if (isset($fields[$name]) && is_string($v) && $v !== '') {
                $names[] = [$name, $v];
            }
        }
    }
    return $names;
}

// Removes the stored files of [[field, name], ...] that no row of the table names any more.
function remove_unused_files(array $m, array $names): void
{
    $db = db();
    foreach ($names as [$field, $stored]) {
        $sql = 'SELECT COUNT(*) FROM ' . $db->quote($m['table']) . ' WHERE ' . $db->quote($field) . ' = ?';
        if ((int)$db->value($sql, [$stored]) === 0) {
            unlink_stored($stored);
        }
    }
}

// For a copy: the files of the source row the user neither replaced nor cleared,
// as new values (a Blob, or a NewFile so the copy gets a file of its own).
function carried_files(array $m, array $key, array $values): array
{
    $fields = array_filter(fields_for($m, 'add'),
        static fn($f) => $f['control'] === 'FILE' && !array_key_exists($f['name'], $values));
    if ($fields === []) {
        return [];
    }
    $row = fetch_row($m, $key, array_map(static fn($f) => $f + ['blob_data' => true], $fields)) ?? [];
    $carried = [];
    foreach ($fields as $name => $f) {
        $v = $row[$name] ?? null;
        if ($f['category'] === 'blob' && is_string($v)) {
            $carried[$name] = new Blob($v);
        } elseif (is_string($v) && ($data = uploaded_file($v)) !== null) {
            $carried[$name] = new NewFile(pathinfo($v, PATHINFO_EXTENSION), $data);
        }
    }
    return $carried;
}
