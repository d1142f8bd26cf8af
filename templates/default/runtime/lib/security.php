<?php
// Sessions, response headers, CSRF tokens, login with a short lock-out after
// repeated failures. Security kinds: none, fixed (one ID and password in the
// configuration), table (a login table), both (fixed first, then the table).
declare(strict_types=1);

namespace Zt;

const SECURITY_KINDS = ['none', 'fixed', 'table', 'both'];

function send_security_headers(): void
{
    header_remove('X-Powered-By');
    header('X-Frame-Options: DENY');
    header("Content-Security-Policy: default-src 'self'; img-src 'self' data:; style-src 'self'; "
        . "script-src 'self'; object-src 'none'; frame-ancestors 'none'; form-action 'self'; base-uri 'self'");
    header('X-Content-Type-Options: nosniff');
    header('Referrer-Policy: same-origin');
    if (is_https()) {
        header('Strict-Transport-Security: max-age=31536000; includeSubDomains');
    }
}

// Whether the client reached the application over TLS: directly, or through
// a proxy that the configuration says ends TLS in front of it ('tls_proxy').
function is_https(): bool
{
    $https = $_SERVER['HTTPS'] ?? '';
    return (bool)config('tls_proxy') || ($https !== '' && $https !== 'off');
}

// The client's address; behind the configured proxy, the one it appended to X-Forwarded-For.
function client_address(): string
{
    $addr = (string)($_SERVER['REMOTE_ADDR'] ?? '');
    if (config('tls_proxy') && isset($_SERVER['HTTP_X_FORWARDED_FOR'])) {
        $hops = array_map('trim', explode(',', (string)$_SERVER['HTTP_X_FORWARDED_FOR']));
        $addr = (string)end($hops);
    }
    return $addr;
}

// The application's own cookie path: the folder its pages are served from.
function cookie_path(): string
{
    $configured = config('cookie_path');
    if (is_string($configured)) {
        return $configured;
    }
    $dir = str_replace('\\', '/', dirname((string)($_SERVER['SCRIPT_NAME'] ?? '/index.php')));
    return rtrim($dir, '/') . '/';
}

// Sessions of this application only: its own name, cookie path and session
// folder, and the application id stored in the session and checked on every request.
function start_session(): void
{
    if (session_status() === PHP_SESSION_ACTIVE) {
        return;
    }
    $id = app_id();
    ini_set('session.use_strict_mode', '1');
    ini_set('session.use_only_cookies', '1');
    ini_set('session.use_trans_sid', '0');
    ini_set('session.gc_probability', '1');
    ini_set('session.gc_divisor', '100');
    session_save_path(app_path((string)(config('session_dir') ?? state_dir('sessions'))));
    session_set_cookie_params([
        'lifetime' => 0, 'path' => cookie_path(), 'secure' => is_https(), 'httponly' => true,
        'samesite' => (string)config('cookie_samesite'),
    ]);
    session_name((string)(config('session_name') ?? 'ZT' . substr(hash('sha256', 'session' . $id), 0, 16)));
    session_start();
    if (($_SESSION['zt_app'] ?? null) !== $id) {
        if ($_SESSION !== []) {
            session_regenerate_id(false); // another application's session: leave it to that one
        }
        $_SESSION = ['zt_app' => $id];
    }
}

function csrf_token(): string
{
    if (!isset($_SESSION['zt_csrf']) || !is_string($_SESSION['zt_csrf'])) {
        $_SESSION['zt_csrf'] = bin2hex(random_bytes(32));
    }
    return $_SESSION['zt_csrf'];
}

// Every data-changing request passes here first.
function check_csrf(): void
{
    $given = $_POST['_csrf'] ?? '';
    if (!is_post() || !is_string($given) || !hash_equals(csrf_token(), $given)) {
        throw new HttpError(403, 'error.csrf');
    }
}

function security_kind(): string
{
    $kind = config('security')['type'] ?? 'none';
    if (!in_array($kind, SECURITY_KINDS, true)) {
        throw new \LogicException("unknown security type '$kind'");
    }
    return $kind;
}

// The login of this request: ['login', 'admin', 'level', 'uid', 'stamp'], or
// null. A login from the login table is checked against its row once per
// request: a deleted user, a changed password or level ends the session.
function current_account(): ?array
{
    static $checked = null;
    $a = $_SESSION['zt_account'] ?? null;
    if (!is_array($a) || ($_SESSION['zt_app'] ?? null) !== app_id()) {
        return null;
    }
    if ($checked === $a) {
        return $a;
    }
    if ($a['admin']) {
        if (!hash_equals((string)$a['stamp'], fixed_stamp())) {
            logout();
            return null;
        }
        $checked = $a;
        return $a;
    }
    $row = user_row((string)$a['login']);
    if ($row === null || !hash_equals((string)$a['stamp'], account_stamp($row))) {
        logout();
        return null;
    }
    $checked = $a;
    return $a;
}

function current_user(): ?string
{
    return current_account()['login'] ?? null;
}

// Sends a visitor who is not logged in to the login page, then back here.
function require_login(): void
{
    if (security_kind() === 'none' || current_account() !== null) {
        return;
    }
    $here = basename(parse_url($_SERVER['REQUEST_URI'] ?? '', PHP_URL_PATH) ?: 'index.php');
    $query = $_SERVER['QUERY_STRING'] ?? '';
    $back = safe_return($query === '' ? $here : $here . '?' . $query);
    throw new Redirect(url('login.php', ['return' => $back]));
}

// A hash of what a session of a table user depends on: its password hash and level.
function account_stamp(array $row): string
{
    return hash_hmac('sha256', ($row['password'] ?? '') . "\0" . ($row['level'] ?? ''), app_id());
}

// The row of the login table whose login ID the database finds equal to $login
// (by the column's collation), as login, password, level, uid and email; or null.
function user_row(string $login): ?array
{
    $s = config('security');
    if (!in_array(security_kind(), ['table', 'both'], true) || $login === '') {
        return null;
    }
    $db = db();
    $cols = ['login' => $s['id_field'], 'password' => $s['password_field']];
    foreach (['level' => 'level_field', 'uid' => 'user_id_field', 'email' => 'email_field'] as $as => $key) {
        if ((string)($s[$key] ?? '') !== '') {
            $cols[$as] = $s[$key];
        }
    }
    $select = [];
    foreach ($cols as $as => $col) {
        $select[] = $db->quote($col) . ' AS ' . $db->quote($as);
    }
    $row = $db->one('SELECT ' . implode(', ', $select) . ' FROM ' . $db->quote($s['table'])
        . ' WHERE ' . $db->quote($s['id_field']) . ' = ?', [$login]);
    if ($row === null) {
        return null;
    }
    return array_map(static fn($v) => $v === null ? null : (string)$v, $row);
}

// The stamp of the fixed login: a changed password in the configuration ends its sessions.
function fixed_stamp(): string
{
    return hash_hmac('sha256', (string)(config('security')['password'] ?? ''), app_id());
}

// A stored password is either a password_hash() hash or plain text.
function password_matches(string $given, ?string $stored): bool
{
    if ($stored === null || $stored === '') {
        password_verify($given, DUMMY_HASH); // the same time as a real check
        return false;
    }
    if (password_get_info($stored)['algo'] !== null) {
        return password_verify($given, $stored);
    }
    return hash_equals($stored, $given);
}

// Checked when no user matches, so that an unknown login ID takes as long as a known one.
const DUMMY_HASH = '$2y$10$Di66VABiBm0vgAAbDwe9QuQqCXq5AEPtfyJAJ8lQ74GLKkYTcnvQu';

// Who a login ID names: [lock-out key, stored password or null, account or null].
function login_target(string $id): array
{
    $s = config('security');
    $kind = security_kind();
    if (($kind === 'fixed' || $kind === 'both') && hash_equals((string)$s['login'], $id)) {
        $account = ['login' => (string)$s['login'], 'admin' => true, 'level' => '', 'uid' => null,
            'stamp' => fixed_stamp()];
        return ['fixed', (string)$s['password'], $account];
    }
    $row = user_row($id);
    if ($row === null) {
        return ['unknown|' . strtolower($id), null, null];
    }
    $account = ['login' => $row['login'], 'admin' => false, 'level' => $row['level'] ?? '',
        'uid' => $row['uid'] ?? null, 'stamp' => account_stamp($row)];
    return ['row|' . $row['login'], $row['password'], $account + ['row' => $row]];
}

// Checks a password of a login ID under the lock-out: the attempt is counted
// before the password is checked, under one lock on the matched row's record,
// so parallel attempts check no more passwords than the lock-out allows.
// Returns [null, account] when right, else [phrase key, null].
function check_login(string $id, string $password): array
{
    $limits = config('lockout');
    $rates = config('login_rate');
    $client = 'client|' . client_address();
    if (rate_count($client, (int)$rates['seconds']) >= (int)$rates['client']
        || rate_count('global', (int)$rates['seconds']) >= (int)$rates['global']) {
        return ['login.busy', null];
    }
    [$lockKey, $stored, $account] = login_target($id);
    $outcome = 'login.failed';
    with_state(state_file('login', $lockKey), static function (array $r, callable $save)
        use ($password, $stored, $limits, &$outcome): ?array {
        $now = time();
        if (($r['until'] ?? 0) > $now) {
            $outcome = 'login.locked';
            return $r;
        }
        $r = ['fails' => ($r['until'] ?? 0) > 0 ? 1 : ($r['fails'] ?? 0) + 1, 'until' => 0];
        $save($r);
        if (password_matches($password, $stored)) {
            $outcome = null;
            return null;
        }
        if ($r['fails'] >= (int)$limits['attempts']) {
            $r['until'] = $now + (int)$limits['seconds'];
            $outcome = 'login.locked';
        }
        return $r;
    });
    // Failures not followed by another attempt for a while are forgotten (unknown IDs are counted too,
    // so that a lock-out tells nothing about which IDs exist).
    prune_state('login', max(900, 2 * (int)$limits['seconds']));
    if ($outcome !== null || $account === null) {
        rate_count($client, (int)$rates['seconds'], 1);
        rate_count('global', (int)$rates['seconds'], 1);
        return [$outcome ?? 'login.failed', null];
    }
    return [null, $account];
}

// Returns the phrase key of the failure, or null when logged in.
function attempt_login(string $id, string $password): ?string
{
    if ($id === '' || $password === '') {
        return 'login.missing';
    }
    [$error, $account] = check_login($id, $password);
    if ($error !== null) {
        return $error;
    }
    if (isset($account['row'])) {
        $account['stamp'] = rehash_password($account['row'], $password);
        unset($account['row']);
    }
    start_account_session($account);
    return null;
}

// Replaces a stored password that is plain text or an outdated hash by a fresh
// hash of the password just given; returns the row's new stamp.
function rehash_password(array $row, string $password): string
{
    $stored = (string)$row['password'];
    $isHash = password_get_info($stored)['algo'] !== null;
    if ($isHash && !password_needs_rehash($stored, PASSWORD_DEFAULT)) {
        return account_stamp($row);
    }
    return set_password($row, $password);
}

// Stores a new password hash for the row's user; returns the new stamp.
function set_password(array $row, string $password): string
{
    $s = config('security');
    $db = db();
    $row['password'] = password_hash($password, PASSWORD_DEFAULT);
    $db->run('UPDATE ' . $db->quote($s['table']) . ' SET ' . $db->quote($s['password_field']) . ' = ? WHERE '
        . $db->quote($s['id_field']) . ' = ?', [$row['password'], $row['login']]);
    return account_stamp($row);
}

// A new session id for a login (the old id is dropped, with what it held).
function start_account_session(array $account): void
{
    session_regenerate_id(true);
    $_SESSION = ['zt_app' => app_id(), 'zt_account' => $account];
}

function logout(): void
{
    $_SESSION = ['zt_app' => app_id()];
    session_regenerate_id(true);
}
