<?php
// Zantrel runtime: every page of a generated application includes this file
// and then calls one page function (Zt\list_page, Zt\edit_page, ...) with the
// metadata of its table. See docs/template-runtime.md for that metadata.
declare(strict_types=1);

require __DIR__ . '/lib/app.php';
require __DIR__ . '/lib/db.php';
require __DIR__ . '/lib/db_errors.php';
require __DIR__ . '/lib/meta.php';
require __DIR__ . '/lib/types.php';
require __DIR__ . '/lib/state.php';
require __DIR__ . '/lib/security.php';
require __DIR__ . '/lib/rights.php';
require __DIR__ . '/lib/html.php';
require __DIR__ . '/lib/lookup.php';
require __DIR__ . '/lib/query.php';
require __DIR__ . '/lib/dates.php';
require __DIR__ . '/lib/form.php';
require __DIR__ . '/lib/values.php';
require __DIR__ . '/lib/upload.php';
require __DIR__ . '/lib/export.php';
require __DIR__ . '/lib/page_list.php';
require __DIR__ . '/lib/page_record.php';
require __DIR__ . '/lib/page_edit.php';
require __DIR__ . '/lib/page_report.php';
require __DIR__ . '/lib/page_site.php';
require __DIR__ . '/lib/mail.php';
require __DIR__ . '/lib/account.php';
