<?php
// The pages an application has once: the index menu, login and logout.
declare(strict_types=1);

namespace Zt;

function index_page(): void
{
    run(static function (): void {
        require_login();
        page_begin(t('index.title'));
        echo '<ul class="zt-menu">', "\n";
        foreach (visible_menu() as $item) {
            echo '<li>', anchor($item['page'], $item['caption']), "</li>\n";
        }
        echo "</ul>\n";
        page_end();
    });
}

function login_page(): void
{
    run(static function (): void {
        if (security_kind() === 'none') {
            throw new Redirect('index.php');
        }
        $back = safe_return(param('return'));
        $id = trim(param('login'));
        $error = null;
        if (is_post()) {
            check_csrf();
            $error = attempt_login($id, param('password'));
            if ($error === null) {
                throw new Redirect($back);
            }
        }
        page_begin(t('login.title'));
        if ($error !== null) {
            echo '<p class="zt-error">', h(t($error)), "</p>\n";
        }
        echo '<form class="zt-form" method="post" action="login.php">', csrf_field(), hidden('return', $back), "\n",
            '<table><tr><th><label for="zt-login">', h(t('login.id')), '</label></th>',
            '<td><input id="zt-login" name="login" autocomplete="username" required value="', h($id), '"></td></tr>', "\n",
            '<tr><th><label for="zt-password">', h(t('login.password')), '</label></th>',
            '<td><input id="zt-password" type="password" name="password" autocomplete="current-password" required></td></tr>',
            "\n</table><p><button type=\"submit\">", h(t('login')), "</button></p></form>\n";
        page_end();
    });
}

// Logout takes the CSRF token in the link so that another site cannot log a user out.
function logout_page(): void
{
    run(static function (): void {
        $given = param('_csrf');
        if (current_user() !== null && hash_equals(csrf_token(), $given)) {
            logout();
        }
        throw new Redirect(security_kind() === 'none' ? 'index.php' : 'login.php');
    });
}
