// Headless Chromium as the demo's customer Ada: the menu offers only what her
// level may list, and the orders list holds her own orders only.
// E2E_URL: the application.
const { chromium } = require('playwright-core');

async function main() {
  const base = process.env.E2E_URL;
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage();
    await page.goto(base + '/index.php');
    await page.fill('#zt-login', 'ada@example.com');
    await page.fill('#zt-password', 'ada-secret');
    await Promise.all([page.waitForURL(/index\.php/), page.click('button[type=submit]')]);
    const menu = await page.$$eval('a', (as) => as.map((a) => a.getAttribute('href')));
    if (menu.includes('customers_list.php')) throw new Error('the customers table is offered to a customer');
    if (!menu.includes('orders_list.php')) throw new Error('her orders are not offered: ' + menu.join(' '));

    await page.goto(base + '/orders_list.php');
    const headings = await page.$$eval('table.zt-grid thead th', (ths) => ths.map((th) => th.textContent.trim()));
    const column = headings.findIndex((h) => h.startsWith('Customer'));
    if (column < 0) throw new Error('no customer column: ' + headings.join('|'));
    const owners = await page.$$eval('table.zt-grid tbody tr', (trs, i) =>
      trs.map((tr) => tr.children[i].textContent.trim()), column);
    if (owners.length === 0) throw new Error('no orders listed');
    const others = owners.filter((o) => o !== 'Ada Lovelace');
    if (others.length) throw new Error('orders of others listed: ' + others.join(', '));
    const refused = await page.goto(base + '/orders_view.php?key%5Border_id%5D=1');
    if (refused.status() !== 404) throw new Error('another customer\'s order answered ' + refused.status());
    console.log('browser: the customer sees her ' + owners.length + ' order(s) only');
  } finally {
    await browser.close();
  }
}

main().catch((e) => { console.error('browser: ' + e.message); process.exit(1); });
