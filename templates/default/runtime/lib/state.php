<?php
// Small records the application keeps between requests (login counters, rate
// limits, account tokens, the application id, sessions), under the
// application's own state folder. Each record is a file read and written
// under one exclusive lock; the files start with a PHP exit so that a web
// server that does serve the folder shows nothing of them.
declare(strict_types=1);

namespace Zt;

const STATE_GUARD = "<?php exit; ?>\n";

// The state folder: config 'state_dir', else zt-state/ in the application
// folder (closed to Apache by a .htaccess; better put it outside the document root).
function state_dir(string $sub = ''): string
{
    $dir = app_path((string)(config('state_dir') ?? 'zt-state'));
    $path = $sub === '' ? $dir : $dir . '/' . $sub;
    if (!is_dir($path)) {
        @mkdir($path, 0700, true);
        if (!is_dir($path)) {
            throw new \RuntimeException("cannot create the state folder $path");
        }
    }
    if ($sub === '' && !is_file($dir . '/.htaccess')) {
        file_put_contents($dir . '/.htaccess', "Require all denied\n");
    }
    return $path;
}

// The file of one record: kind is a sub-folder, the name a hash of the key.
function state_file(string $kind, string $key): string
{
    return state_dir($kind) . '/' . hash('sha256', $key) . '.php';
}

// Runs $change(record, $save) with the record of $file locked; the array it
// returns is written back (null removes the record). $save(record) writes an
// intermediate state while the lock is still held (a login attempt is counted
// before its password is checked). Returns what $change returned.
function with_state(string $file, callable $change): ?array
{
    $h = fopen($file, 'c+');
    if ($h === false) {
        throw new \RuntimeException("cannot open the state file $file");
    }
    $save = static function (array $record) use ($h): void {
        ftruncate($h, 0);
        rewind($h);
        fwrite($h, STATE_GUARD . json_encode($record));
        fflush($h);
    };
    try {
        flock($h, LOCK_EX);
        $data = json_decode(substr((string)stream_get_contents($h), strlen(STATE_GUARD)), true);
        $new = $change(is_array($data) ? $data : [], $save);
        if ($new === null) {
            ftruncate($h, 0);
            unlink($file);
        } else {
            $save($new);
        }
        return $new;
    } finally {
        flock($h, LOCK_UN);
        fclose($h);
    }
}

function read_state(string $file): array
{
    if (!is_file($file)) {
        return [];
    }
    $data = json_decode(substr((string)file_get_contents($file), strlen(STATE_GUARD)), true);
    return is_array($data) ? $data : [];
}

// Removes the records of a kind not touched for $seconds, now and then (about one call in twenty).
function prune_state(string $kind, int $seconds): void
{
    if (random_int(1, 20) !== 1) {
        return;
    }
    $limit = time() - $seconds;
    foreach (glob(state_dir($kind) . '/*.php') ?: [] as $file) {
        if (@filemtime($file) < $limit) {
            @unlink($file);
        }
    }
}

// The random id of this application, made on its first request; sessions are bound to it.
function app_id(): string
{
    static $id = null;
    if ($id === null) {
        $file = state_dir() . '/app-id.php';
        $record = read_state($file);
        if (!isset($record['id']) || !is_string($record['id'])) {
            $record = with_state($file, static fn(array $r) =>
                isset($r['id']) && is_string($r['id']) ? $r : ['id' => bin2hex(random_bytes(16))]);
        }
        $id = $record['id'];
    }
    return $id;
}

// Events of a kind in a fixed window of $seconds: adds $add and returns the count.
function rate_count(string $key, int $seconds, int $add = 0): int
{
    $now = time();
    $record = with_state(state_file('rate', $key), static function (array $r) use ($now, $seconds, $add): array {
        if (($r['start'] ?? 0) + $seconds <= $now) {
            $r = ['start' => $now, 'n' => 0];
        }
        $r['n'] += $add;
        return $r;
    });
    prune_state('rate', $seconds);
    return (int)$record['n'];
}
