// Drives headless Chromium through a generated application: log in, open a
// list, add a row through the form, save, and find the row in the list.
// E2E_URL: the application; E2E_SHOT: where to save the screenshot.
const { chromium } = require('playwright-core');

async function main() {
  const base = process.env.E2E_URL;
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage();
    const problems = [];
    page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
    page.on('pageerror', (e) => problems.push(String(e)));

    await page.goto(base + '/categories_list.php');
    await page.fill('#zt-login', 'admin');
    await page.fill('#zt-password', 'admin-secret');
    await Promise.all([page.waitForURL(/categories_list\.php/), page.click('button[type=submit]')]);

    const name = 'Browser category ' + Date.now().toString(36);
    await Promise.all([page.waitForURL(/categories_add\.php/), page.click('a.zt-add')]);
    await page.fill('#zt-f_name_', name);
    await page.fill('#zt-f_description_', 'Added from Chromium\nsecond line');
    await Promise.all([page.waitForURL(/categories_list\.php/), page.click('button[type=submit]')]);

    const flash = await page.textContent('.zt-flash');
    const cells = await page.$$eval('table.zt-grid td', (tds) => tds.map((td) => td.textContent));
    await page.screenshot({ path: process.env.E2E_SHOT, fullPage: true });
    if (!cells.includes(name)) throw new Error('the new row is not listed: ' + name);
    if (!/added/.test(flash || '')) throw new Error('no confirmation shown: ' + flash);
    if (problems.length) throw new Error('browser errors (CSP or script): ' + problems.join('; '));
    console.log('browser: added and listed "' + name + '", screenshot ' + process.env.E2E_SHOT);
  } finally {
    await browser.close();
  }
}

main().catch((e) => { console.error('browser: ' + e.message); process.exit(1); });
