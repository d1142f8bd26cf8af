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
}

function start_session(): void
{
    if (session_status() === PHP_SESSION_ACTIVE) {
        return;
    }
    $https = ($_SERVER['HTTPS'] ?? '') !== '' && ($_SERVER['HTTPS'] ?? '') !== 'off';
    ini_set('session.use_strict_mode', '1');
    ini_set('session.use_only_cookies', '1');
    ini_set('session.use_trans_sid', '0');
    ini_set('session.cookie_httponly', '1');
    ini_set('session.cookie_samesite', (string)config('cookie_samesite'));
    ini_set('session.cookie_secure', $https ? '1' : '0');
    session_name((string)config('session_name'));
    session_start();
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

function current_user(): ?string
{
    $u = $_SESSION['zt_user'] ?? null;
    return is_string($u) ? $u : null;
}

// Sends a visitor who is not logged in to the login page, then back here.
function require_login(): void
{
    if (security_kind() === 'none' || current_user() !== null) {
        return;
    }
    $here = basename(parse_url($_SERVER['REQUEST_URI'] ?? '', PHP_URL_PATH) ?: 'index.php');
    $query = $_SERVER['QUERY_STRING'] ?? '';
    $back = safe_return($query === '' ? $here : $here . '?' . $query);
    throw new Redirect(url('login.php', ['return' => $back]));
}

// A stored password is either a password_hash() hash or plain text.
function password_matches(string $given, ?string $stored): bool
{
    if ($stored === null || $stored === '') {
        return false;
    }
    if (password_get_info($stored)['algo'] !== null) {
        return password_verify($given, $stored);
    }
    return hash_equals($stored, $given);
}

function check_credentials(string $id, string $password): bool
{
    $s = config('security');
    $kind = security_kind();
    if (($kind === 'fixed' || $kind === 'both') && hash_equals((string)$s['login'], $id)) {
        return password_matches($password, (string)$s['password']);
    }
    if ($kind === 'table' || $kind === 'both') {
        $db = db();
        $sql = 'SELECT ' . $db->quote($s['password_field']) . ' FROM ' . $db->quote($s['table'])
            . ' WHERE ' . $db->quote($s['id_field']) . ' = ?';
        $stored = $db->value($sql, [$id]);
        return password_matches($password, $stored === null ? null : (string)$stored);
    }
    return false;
}

// Lock-out records live in files, one per login ID and client address, so that
// dropping the session cookie does not reset them.
function lockout_file(string $id): string
{
    $dir = config('state_dir') ?? sys_get_temp_dir() . '/zt-state-' . substr(hash('sha256', App::$root), 0, 16);
    if (!is_dir($dir)) {
        mkdir($dir, 0700, true);
    }
    $who = strtolower($id) . '|' . ($_SERVER['REMOTE_ADDR'] ?? '');
    return $dir . '/lock-' . hash('sha256', $who) . '.json';
}

function lockout_state(string $file): array
{
    if (!is_file($file)) {
        return ['fails' => 0, 'until' => 0];
    }
    $s = json_decode((string)file_get_contents($file), true);
    return is_array($s) ? $s + ['fails' => 0, 'until' => 0] : ['fails' => 0, 'until' => 0];
}

function is_locked_out(string $id): bool
{
    return lockout_state(lockout_file($id))['until'] > time();
}

function record_login_failure(string $id): void
{
    $file = lockout_file($id);
    $s = lockout_state($file);
    $limits = config('lockout');
    $s['fails'] = $s['until'] > 0 && $s['until'] <= time() ? 1 : $s['fails'] + 1;
    $s['until'] = $s['fails'] >= (int)$limits['attempts'] ? time() + (int)$limits['seconds'] : 0;
    file_put_contents($file, json_encode($s), LOCK_EX);
}

function clear_login_failures(string $id): void
{
    $file = lockout_file($id);
    if (is_file($file)) {
        unlink($file);
    }
}

// Returns the phrase key of the failure, or null when logged in.
function attempt_login(string $id, string $password): ?string
{
    if ($id === '' || $password === '') {
        return 'login.missing';
    }
    if (is_locked_out($id)) {
        return 'login.locked';
    }
    if (!check_credentials($id, $password)) {
        record_login_failure($id);
        return is_locked_out($id) ? 'login.locked' : 'login.failed';
    }
    clear_login_failures($id);
    session_regenerate_id(true);
    $_SESSION = ['zt_user' => $id];
    return null;
}

function logout(): void
{
    $_SESSION = [];
    session_regenerate_id(true);
}
