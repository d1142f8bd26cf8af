<?php
// The account pages of a login table, each on when the configuration's
// 'account' entry turns it on: registration (with an optional confirmation
// mail), forgotten password (a mailed single-use link), change of password,
// change of e-mail address (confirmed by a link sent to the new address), and
// the page those links open. Tokens are random, kept only as hashes in the
// state folder, used once and expire.
declare(strict_types=1);

namespace Zt;

const TOKEN_SECONDS = 3600;

// Ends with 404 unless the account page is on and logins come from a table.
function require_account_page(string $page): array
{
    $a = config('account');
    if (empty($a[$page]) || !in_array(security_kind(), ['table', 'both'], true)) {
        throw new HttpError(404, 'error.not_found');
    }
    return $a;
}

// The logged-in user of the login table (the fixed login has no account pages).
function require_table_user(): array
{
    require_login();
    $user = current_account();
    if ($user === null || $user['admin']) {
        throw new HttpError(404, 'error.not_found');
    }
    return $user;
}

function new_token(string $kind, array $data): string
{
    $token = bin2hex(random_bytes(32));
    $seconds = (int)(config('account')['token_seconds'] ?? TOKEN_SECONDS);
    with_state(state_file('token', $token), static fn() => ['kind' => $kind, 'data' => $data, 'expires' => time() + $seconds]);
    prune_state('token', $seconds);
    return $token;
}

// The data of a valid token of the kind; $use removes it, so that it works once.
function token_data(string $kind, string $token, bool $use): ?array
{
    if (preg_match('/^[0-9a-f]{64}$/D', $token) !== 1) {
        return null;
    }
    $found = null;
    $file = state_file('token', $token);
    if (!is_file($file)) {
        return null;
    }
    with_state($file, static function (array $r) use ($kind, $use, &$found): ?array {
        if (($r['expires'] ?? 0) <= time()) {
            return null;
        }
        if (($r['kind'] ?? '') !== $kind) {
            return $r;
        }
        $found = $r['data'];
        return $use ? null : $r;
    });
    return $found;
}

// Whether the client may make another request of a kind (register, mail), counting this one.
function within_account_rate(string $kind, int $limit, int $seconds = 900): bool
{
    return rate_count($kind . '|' . client_address(), $seconds, 1) <= $limit;
}

function new_password_error(string $password, string $again): ?string
{
    $min = (int)(config('account')['min_password'] ?? 8);
    if (strlen($password) < $min) {
        return t('account.password_short', ['n' => $min]);
    }
    return hash_equals($password, $again) ? null : t('account.password_mismatch');
}

// The metadata of the login table with only the registration fields open for input.
function register_meta(): array
{
    $a = config('account');
    $s = config('security');
    $m = table_meta(require app_path((string)$a['user_info']));
    $open = array_diff(array_merge([$s['id_field']], (array)($a['register_fields'] ?? [])),
        [$s['password_field'], $s['level_field'] ?? '', $s['user_id_field'] ?? '']);
    foreach ($m['fields'] as $name => $f) {
        $m['fields'][$name]['add'] = in_array($name, $open, true) && !$f['auto'] && $f['control'] !== 'FILE';
    }
    return $m;
}

function register_page(): void
{
    run(static function (): void {
        $a = require_account_page('register');
        if (current_account() !== null) {
            throw new Redirect('index.php');
        }
        $m = register_meta();
        $s = config('security');
        $errors = [];
        $values = [];
        if (is_post()) {
            check_csrf();
            [$values, $errors] = read_form($m, 'add', 'add');
            $error = new_password_error(param('password'), param('password2'));
            if ($error !== null) {
                $errors['password'] = $error;
            }
            if ($errors === [] && !within_account_rate('register', 10)) {
                $errors[''] = t('account.busy');
            }
            if ($errors === [] && user_row((string)$values[$s['id_field']]) !== null) {
                $errors[''] = t('account.exists');
            }
            if ($errors === []) {
                $values[$s['password_field']] = password_hash(param('password'), PASSWORD_DEFAULT);
                if (uses_levels()) {
                    $values[$s['level_field']] = new_user_level();
                }
                if (!empty($a['register_email']) && (string)($s['email_field'] ?? '') !== '') {
                    $token = new_token('register', $values);
                    send_mail((string)$values[$s['email_field']], t('mail.register.subject', ['app' => config('title')]),
                        t('mail.register.body') . "\n\n" . absolute_url('confirm.php', ['token' => $token]) . "\n");
                    message_page(t('register.title'), t('account.check_mail'));
                    return;
                }
                $errors = create_user($values);
                if ($errors === []) {
                    flash(t('account.registered'));
                    throw new Redirect('login.php');
                }
            }
        }
        page_begin(t('register.title'));
        form_errors($errors);
        echo '<form class="zt-form" method="post" action="register.php">', csrf_field(), "\n<table>\n";
        foreach (fields_for($m, 'add') as $name => $f) {
            form_row($f['caption'], control_html($f, 'f[' . $name . ']', $values[$name] ?? null), $errors[$name] ?? null,
                'zt-f_' . $name . '_');
        }
        password_rows('password', t('account.password'), $errors['password'] ?? null);
        echo "</table><p><button type=\"submit\">", h(t('register')), "</button></p></form>\n";
        page_end();
    });
}

// Inserts a new user; returns form errors (the ID taken meanwhile).
function create_user(array $values): array
{
    $s = config('security');
    $db = db();
    $cols = array_map([$db, 'quote'], array_keys($values));
    try {
        $db->run('INSERT INTO ' . $db->quote($s['table']) . ' (' . implode(', ', $cols) . ') VALUES ('
            . implode(', ', array_fill(0, count($cols), '?')) . ')', array_values($values));
    } catch (\PDOException $e) {
        if (!is_integrity_error($e)) {
            throw $e;
        }
        return ['' => t('account.exists')];
    }
    return [];
}

// The same answer whether or not the address belongs to a user; at most a
// few mails per client and per address.
function forgot_password_page(): void
{
    run(static function (): void {
        require_account_page('forgot_password');
        $address = trim(param('email'));
        if (is_post()) {
            check_csrf();
            if ($address !== '' && within_account_rate('mail', 5) && within_account_rate('mail-to|' . strtolower($address), 3, 3600)) {
                send_reset_mail($address);
            }
            message_page(t('forgot.title'), t('account.reset_sent'));
            return;
        }
        page_begin(t('forgot.title'));
        echo '<form class="zt-form" method="post" action="forgot_password.php">', csrf_field(), "\n<table>\n";
        form_row(t('account.email'), '<input id="zt-email" type="email" name="email" autocomplete="email" required>', null, 'zt-email');
        echo "</table><p><button type=\"submit\">", h(t('forgot.send')), "</button></p></form>\n";
        page_end();
    });
}

function send_reset_mail(string $address): void
{
    $s = config('security');
    $db = db();
    $emailField = (string)(($s['email_field'] ?? '') ?: $s['id_field']);
    $login = $db->value('SELECT ' . $db->quote($s['id_field']) . ' FROM ' . $db->quote($s['table']) . ' WHERE '
        . $db->quote($emailField) . ' = ?', [$address]);
    $row = $login === null ? null : user_row((string)$login);
    if ($row === null) {
        password_verify($address, DUMMY_HASH); // about the time a known address takes
        return;
    }
    $token = new_token('reset', ['login' => $row['login'], 'stamp' => account_stamp($row)]);
    send_mail((string)($row['email'] ?? $row['login']), t('mail.reset.subject', ['app' => config('title')]),
        t('mail.reset.body') . "\n\n" . absolute_url('reset_password.php', ['token' => $token]) . "\n");
}

// The page the reset mail links to: a new password for a valid token, used once.
function reset_password_page(): void
{
    run(static function (): void {
        require_account_page('forgot_password');
        $token = param('token');
        $error = null;
        if (is_post()) {
            check_csrf();
            $error = new_password_error(param('password'), param('password2'));
            if ($error === null) {
                $data = token_data('reset', $token, true);
                $row = $data === null ? null : user_row((string)$data['login']);
                if ($row === null || !hash_equals((string)$data['stamp'], account_stamp($row))) {
                    throw new HttpError(404, 'account.token_invalid');
                }
                set_password($row, param('password'));
                with_state(state_file('login', 'row|' . $row['login']), static fn() => null);
                flash(t('account.password_set'));
                throw new Redirect('login.php');
            }
        }
        if (token_data('reset', $token, false) === null) {
            throw new HttpError(404, 'account.token_invalid');
        }
        page_begin(t('reset.title'));
        form_errors($error === null ? [] : ['' => $error]);
        echo '<form class="zt-form" method="post" action="reset_password.php">', csrf_field(), hidden('token', $token),
            "\n<table>\n";
        password_rows('password', t('account.new_password'), null);
        echo "</table><p><button type=\"submit\">", h(t('save')), "</button></p></form>\n";
        page_end();
    });
}

// The current password, then the new one twice; a new session id, and every
// other session of the user ends (its stamp no longer matches the row).
function change_password_page(): void
{
    run(static function (): void {
        require_account_page('change_password');
        $user = require_table_user();
        $errors = [];
        if (is_post()) {
            check_csrf();
            [$wrong] = check_login((string)$user['login'], param('current'));
            $errors = array_filter(['current' => $wrong === null ? null : t($wrong),
                'password' => new_password_error(param('password'), param('password2'))]);
            if ($errors === []) {
                $user['stamp'] = set_password(user_row((string)$user['login']), param('password'));
                start_account_session($user);
                flash(t('account.password_changed'));
                throw new Redirect('index.php');
            }
        }
        page_begin(t('change_password.title'));
        form_errors($errors);
        echo '<form class="zt-form" method="post" action="change_password.php">', csrf_field(), "\n<table>\n";
        form_row(t('account.current_password'), '<input id="zt-current" type="password" name="current" '
            . 'autocomplete="current-password" required>', $errors['current'] ?? null, 'zt-current');
        password_rows('password', t('account.new_password'), $errors['password'] ?? null);
        echo "</table><p><button type=\"submit\">", h(t('save')), "</button></p></form>\n";
        page_end();
    });
}

// A new address takes effect when the link sent to it is opened.
function change_email_page(): void
{
    run(static function (): void {
        require_account_page('change_email');
        $user = require_table_user();
        $s = config('security');
        if ((string)($s['email_field'] ?? '') === '') {
            throw new HttpError(404, 'error.not_found');
        }
        $errors = [];
        $address = trim(param('email'));
        if (is_post()) {
            check_csrf();
            [$wrong] = check_login((string)$user['login'], param('current'));
            $errors = array_filter(['current' => $wrong === null ? null : t($wrong),
                'email' => filter_var($address, FILTER_VALIDATE_EMAIL) === false ? t('account.email_invalid') : null]);
            if ($errors === [] && !within_account_rate('mail', 5)) {
                $errors[''] = t('account.busy');
            }
            if ($errors === []) {
                $token = new_token('email', ['login' => $user['login'], 'email' => $address]);
                send_mail($address, t('mail.email.subject', ['app' => config('title')]),
                    t('mail.email.body') . "\n\n" . absolute_url('confirm.php', ['token' => $token]) . "\n");
                message_page(t('change_email.title'), t('account.email_sent'));
                return;
            }
        }
        page_begin(t('change_email.title'));
        form_errors($errors);
        echo '<form class="zt-form" method="post" action="change_email.php">', csrf_field(), "\n<table>\n";
        form_row(t('account.new_email'), '<input id="zt-email" type="email" name="email" autocomplete="email" required value="'
            . h($address) . '">', $errors['email'] ?? null, 'zt-email');
        form_row(t('account.current_password'), '<input id="zt-current" type="password" name="current" '
            . 'autocomplete="current-password" required>', $errors['current'] ?? null, 'zt-current');
        echo "</table><p><button type=\"submit\">", h(t('change_email.send')), "</button></p></form>\n";
        page_end();
    });
}

// The page the confirmation links open: a registration or a new address.
function confirm_page(): void
{
    run(static function (): void {
        if (!in_array(security_kind(), ['table', 'both'], true)) {
            throw new HttpError(404, 'error.not_found');
        }
        $token = param('token');
        $values = token_data('register', $token, true);
        if ($values !== null) {
            $errors = create_user($values);
            message_page(t('register.title'), $errors === [] ? t('account.registered') : $errors['']);
            return;
        }
        $change = token_data('email', $token, true);
        if ($change === null) {
            throw new HttpError(404, 'account.token_invalid');
        }
        confirm_email($change);
        message_page(t('change_email.title'), t('account.email_changed'));
    });
}

function confirm_email(array $change): void
{
    $s = config('security');
    $db = db();
    $user = current_account();
    try {
        $db->run('UPDATE ' . $db->quote($s['table']) . ' SET ' . $db->quote($s['email_field']) . ' = ? WHERE '
            . $db->quote($s['id_field']) . ' = ?', [$change['email'], $change['login']]);
    } catch (\PDOException $e) {
        if (!is_integrity_error($e)) {
            throw $e;
        }
        throw new HttpError(409, 'account.exists');
    }
    // When the address is the login ID, the session that asked for the change follows it.
    if ($s['email_field'] === $s['id_field'] && $user !== null && $user['login'] === $change['login']) {
        $user['login'] = $change['email'];
        start_account_session($user);
    }
}

// Links to the account pages for the page header.
function account_links(): array
{
    $a = config('account');
    if (!in_array(security_kind(), ['table', 'both'], true)) {
        return [];
    }
    $user = current_account();
    $links = [];
    if ($user === null) {
        if (!empty($a['register'])) {
            $links[] = anchor('register.php', t('register'));
        }
        if (!empty($a['forgot_password'])) {
            $links[] = anchor('forgot_password.php', t('forgot.title'));
        }
    } elseif (!$user['admin']) {
        if (!empty($a['change_password'])) {
            $links[] = anchor('change_password.php', t('change_password.title'));
        }
        if (!empty($a['change_email']) && (string)(config('security')['email_field'] ?? '') !== '') {
            $links[] = anchor('change_email.php', t('change_email.title'));
        }
    }
    return $links;
}

function message_page(string $title, string $message): void
{
    page_begin($title);
    echo '<p class="zt-message">', h($message), "</p>\n<p>", anchor('login.php', t('login')), "</p>\n";
    page_end();
}

function form_errors(array $errors): void
{
    if (isset($errors[''])) {
        echo '<p class="zt-error">', h($errors['']), "</p>\n";
    }
}

function form_row(string $caption, string $control, ?string $error, string $id): void
{
    echo '<tr><th><label for="', h($id), '">', h($caption), '</label></th><td>', $control;
    if ($error !== null) {
        echo ' <span class="zt-error">', h($error), '</span>';
    }
    echo "</td></tr>\n";
}

// A new password and its repetition.
function password_rows(string $name, string $caption, ?string $error): void
{
    form_row($caption, '<input id="zt-' . h($name) . '" type="password" name="' . h($name)
        . '" autocomplete="new-password" required>', $error, 'zt-' . $name);
    form_row(t('account.password_again'), '<input id="zt-' . h($name) . '2" type="password" name="' . h($name)
        . '2" autocomplete="new-password" required>', null, 'zt-' . $name . '2');
}
