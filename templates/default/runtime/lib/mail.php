<?php
// Mail of the account pages, sent over SMTP with PHPMailer (Debian's
// libphp-phpmailer). The server, port and sender come from the configuration
// ('account'); a user name and password for the server, when it needs them,
// only from the environment: ZT_SMTP_USER, ZT_SMTP_PASSWORD. STARTTLS is used
// whenever the server offers it; ZT_SMTP_SECURE=ssl selects implicit TLS.
declare(strict_types=1);

namespace Zt;

const MAILER_AUTOLOAD = '/usr/share/php/libphp-phpmailer/autoload.php';

function send_mail(string $to, string $subject, string $body): void
{
    $a = config('account');
    $autoload = (string)($a['mailer'] ?? MAILER_AUTOLOAD);
    if (!is_file($autoload)) {
        throw new \RuntimeException("the mail library is missing: $autoload (install libphp-phpmailer)");
    }
    require_once $autoload;
    $mail = new \PHPMailer\PHPMailer\PHPMailer(true);
    $mail->isSMTP();
    $mail->Host = (string)($a['smtp_host'] ?? 'localhost');
    $mail->Port = (int)($a['smtp_port'] ?? 25);
    $mail->Timeout = 20;
    $user = getenv('ZT_SMTP_USER');
    if (is_string($user) && $user !== '') {
        $mail->SMTPAuth = true;
        $mail->Username = $user;
        $mail->Password = (string)getenv('ZT_SMTP_PASSWORD');
    }
    if (getenv('ZT_SMTP_SECURE') === 'ssl') {
        $mail->SMTPSecure = \PHPMailer\PHPMailer\PHPMailer::ENCRYPTION_SMTPS;
    }
    $mail->CharSet = 'UTF-8';
    $mail->setFrom((string)($a['sender'] ?? ''), (string)config('title'));
    $mail->addAddress($to);
    $mail->Subject = $subject;
    $mail->Body = $body;
    $mail->send();
}

// An absolute link to a page of this application for a mail: from the
// configured 'base_url', else from the server's own name (never the Host
// header a client sent, which would let it point the link elsewhere).
function absolute_url(string $page, array $query = []): string
{
    $base = config('base_url');
    if (!is_string($base) || $base === '') {
        $port = (int)($_SERVER['SERVER_PORT'] ?? 80);
        $https = is_https();
        $default = $https ? 443 : 80;
        $base = ($https ? 'https://' : 'http://') . ($_SERVER['SERVER_NAME'] ?? 'localhost')
            . ($port === $default ? '' : ':' . $port) . cookie_path();
    }
    return rtrim($base, '/') . '/' . url($page, $query);
}
