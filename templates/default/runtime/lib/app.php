<?php
// Application state, start-up and the frame every page runs in: strict error
// handling, configuration, phrases, request input and the outcome exceptions.
declare(strict_types=1);

namespace Zt;

final class App
{
    public static array $config = [];   // config.php merged with config.local.php
    public static array $phrases = [];  // phrase key => text
    public static string $root = '';    // the application folder
    public static ?Db $db = null;       // opened on first use
}

// A page ends early with an HTTP status and a phrase to show.
final class HttpError extends \Exception
{
    public function __construct(public int $status, public string $phrase)
    {
        parent::__construct($phrase);
    }
}

// A page ends early with a redirect.
final class Redirect extends \Exception
{
    public function __construct(public string $location)
    {
        parent::__construct($location);
    }
}

const CONFIG_DEFAULTS = [
    'title' => 'Application',
    'db' => ['driver' => 'sqlite', 'path' => 'data.db'],
    'language' => 'en',
    'phrases' => null,            // path of a phrase file, relative to the application
    'stylesheet' => null,         // the application's own style sheet, after zt/zt.css
    'menu' => [],                 // [['page' => 'x_list.php', 'caption' => 'X'], ...]
    'security' => ['type' => 'none'],
    'lockout' => ['attempts' => 5, 'seconds' => 60],
    'login_rate' => ['client' => 100, 'global' => 1000, 'seconds' => 300], // failed logins per window
    'rights' => [],               // table name => rights text ("admin:*,staff:lvsaecx")
    'account' => [],              // account pages and mail (see account.php)
    'state_dir' => null,          // login records, tokens, sessions; default zt-state/ in the application
    'session_dir' => null,        // default: sessions/ in the state folder
    'session_name' => null,       // default: derived from the application id
    'cookie_path' => null,        // default: the folder of the application's pages
    'cookie_samesite' => 'Strict',
    'tls_proxy' => false,         // served over HTTPS by a proxy in front: Secure cookies and HSTS
    'upload_dir' => null,         // for FILE controls on text fields; outside the document root
    'max_upload' => 2097152,
    'upload_types' => [
        'png' => 'image/png', 'jpg' => 'image/jpeg', 'jpeg' => 'image/jpeg', 'gif' => 'image/gif',
        'webp' => 'image/webp', 'pdf' => 'application/pdf', 'txt' => 'text/plain',
    ],
    'runtime_url' => 'zt',        // where the runtime's static files are served from
    'sql_log' => null,            // a file that receives every SQL statement run (without values)
];

function boot(): void
{
    static $booted = false;
    if ($booted) {
        return;
    }
    $booted = true;
    error_reporting(E_ALL);
    ini_set('display_errors', '0');
    set_error_handler(static function (int $no, string $message, string $file, int $line): bool {
        throw new \ErrorException($message, 0, $no, $file, $line);
    });
    App::$root = dirname(__DIR__, 2);
    $config = require App::$root . '/config.php';
    $local = App::$root . '/config.local.php';
    if (is_file($local)) {
        $config = array_replace_recursive($config, require $local);
    }
    App::$config = array_replace(CONFIG_DEFAULTS, $config);
    App::$phrases = load_phrases();
    send_security_headers();
    start_session();
}

function load_phrases(): array
{
    $phrases = require dirname(__DIR__) . '/lang/en.php';
    $own = App::$config['phrases'];
    if ($own !== null) {
        $phrases = array_replace($phrases, require app_path($own));
    }
    return $phrases;
}

// Runs one page: its output is buffered so that a failure shows a clean error page.
function run(callable $page): void
{
    ob_start();
    try {
        boot();
        $page();
        ob_end_flush();
    } catch (Redirect $r) {
        discard_output();
        header('Location: ' . $r->location, true, 303);
    } catch (HttpError $e) {
        discard_output();
        http_response_code($e->status);
        error_page(t($e->phrase));
    } catch (\Throwable $e) {
        discard_output();
        error_log('zantrel: ' . get_class($e) . ': ' . $e->getMessage() . ' at ' . $e->getFile() . ':' . $e->getLine());
        http_response_code(500);
        error_page(App::$phrases === [] ? 'Error' : t('error.internal'));
    }
}

function discard_output(): void
{
    while (ob_get_level() > 0) {
        ob_end_clean();
    }
}

// The phrase for a key, with {name} placeholders filled in (not escaped).
function t(string $key, array $args = []): string
{
    $text = App::$phrases[$key] ?? $key;
    if ($args === []) {
        return $text;
    }
    $map = [];
    foreach ($args as $name => $value) {
        $map['{' . $name . '}'] = (string)$value;
    }
    return strtr($text, $map);
}

function config(string $name): mixed
{
    return App::$config[$name] ?? null;
}

function app_path(string $path): string
{
    return str_starts_with($path, '/') ? $path : App::$root . '/' . $path;
}

function db(): Db
{
    $log = config('sql_log');
    return App::$db ??= Db::connect(App::$config['db'], $log === null ? null : app_path($log));
}

// Request input: only strings count; arrays and anything else read as absent.
function param(string $name, string $default = ''): string
{
    $v = $_GET[$name] ?? $_POST[$name] ?? $default;
    return is_string($v) ? $v : $default;
}

// A request array of strings keyed by name (key[...], s[...], f[...]).
function param_map(string $name, ?array $source = null): array
{
    $v = ($source ?? array_replace($_GET, $_POST))[$name] ?? [];
    if (!is_array($v)) {
        return [];
    }
    return array_filter($v, static fn($x, $k) => is_string($x) && is_string($k), ARRAY_FILTER_USE_BOTH);
}

function is_post(): bool
{
    return ($_SERVER['REQUEST_METHOD'] ?? 'GET') === 'POST';
}

// A URL of a page of this application with query parameters.
function url(string $page, array $query = []): string
{
    $query = array_filter($query, static fn($v) => $v !== '' && $v !== null && $v !== []);
    return $query === [] ? $page : $page . '?' . http_build_query($query, '', '&', PHP_QUERY_RFC3986);
}

// Only a page of this application may be a redirect target.
function safe_return(string $target, string $fallback = 'index.php'): string
{
    return preg_match('/^[A-Za-z0-9_\-]+\.php(\?[^\s\\\\]*)?$/D', $target) === 1 ? $target : $fallback;
}

function flash(?string $message = null): ?string
{
    if ($message !== null) {
        $_SESSION['zt_flash'] = $message;
        return null;
    }
    $m = $_SESSION['zt_flash'] ?? null;
    unset($_SESSION['zt_flash']);
    return is_string($m) ? $m : null;
}
