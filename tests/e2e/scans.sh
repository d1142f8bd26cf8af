# Sourced by tests/e2e/run: the security scans and the browser test against a
# running application (PORT, WORK from run). Each logs in first (the
# administrator; ffuf also as the customer Ada) and counts as one passed or failed step.

# Logs in with a fresh session and prints its cookie as NAME=VALUE.
login_session() {
  python3 -c "import sys; sys.path.insert(0, '$E2E'); from http_client import Client
c = Client('http://127.0.0.1:$PORT'); assert c.login('${1:-admin}', '${2:-admin-secret}').status == 303
print(next(f'{k.name}={k.value}' for k in c.jar if k.name.startswith('ZT')))"
}

# The names of customers other than Ada: a page Ada gets must show none of them.
OTHER_CUSTOMERS="Donald Knuth|Radia Perlman|Edsger Dijkstra|Frances Allen|donald@example"

# sqlmap always exits 0: what it found is the rows of its results file. As
# the customer Ada (scan_sqlmap ada@example.com ada-secret) it starts at her
# orders and fails when any response it got shows another customer.
scan_sqlmap() {
  local who="${1:-admin}" out="$WORK/sqlmap-${1:-admin}" sid base="http://127.0.0.1:$PORT" start least=20
  mkdir -p "$out"
  sid="$(login_session "$@")"
  start="products_list.php?q=tea&sort=name&dir=asc&page=1"
  [ -n "${1:-}" ] && start="orders_list.php?q=new&sort=order_date&dir=asc&page=1" && least=5
  timeout 1200 nice sqlmap -u "$base/$start" -t "$out/traffic.txt" \
    --cookie="$sid" --forms --crawl=2 --batch \
    --scope="^$base/(?!logout|change_|register|forgot_|reset_|confirm)" \
    --technique=BEUS --level=1 --risk=1 --threads=2 --timeout=10 --retries=1 --disable-coloring \
    --output-dir="$out" --results-file="$out/results.csv" >"$out/sqlmap.log" 2>&1 || true
  local tested found
  tested="$(grep -c "testing URL" "$out/sqlmap.log" || true)"
  found="$(tail -n +2 "$out/results.csv" 2>/dev/null | grep -c . || true)"
  mkdir -p "$ROOT/build" && cp "$out/sqlmap.log" "$ROOT/build/e2e-sqlmap-$who.log"
  if [ ! -f "$out/results.csv" ] || [ "$tested" -lt "$least" ] || grep -q "login.php?return" "$out/sqlmap.log"; then
    tail -20 "$out/sqlmap.log" >&2
    fail 1 "sqlmap as $who did not scan the logged-in application ($tested URLs)"
  elif [ "$found" != 0 ]; then
    cat "$out/results.csv" >&2
    fail 1 "sqlmap as $who found $found injection point(s)"
  elif [ -n "${1:-}" ] && grep -Eq "$OTHER_CUSTOMERS" "$out/traffic.txt"; then
    grep -Em5 "$OTHER_CUSTOMERS" "$out/traffic.txt" >&2
    fail 1 "sqlmap as $who reached another customer's rows"
  else
    echo "e2e: sqlmap as $who tested $tested URLs and found nothing" >&2
    pass 1
  fi
}

# ffuf sends each word of the SQL-injection list into each parameter and
# matches server errors and database error texts. As the customer Ada
# (scan_ffuf ada@example.com ada-secret) it also probes the orders and
# matches any page that shows another customer's name.
scan_ffuf() {
  local out="$WORK/ffuf-${1:-admin}" sid base="http://127.0.0.1:$PORT" others=""
  mkdir -p "$out"
  sid="$(login_session "$@")"
  [ -n "${1:-}" ] && others="|$OTHER_CUSTOMERS"
  python3 -c 'import sys, urllib.parse
for w in open(sys.argv[1], encoding="utf-8"):
    print(urllib.parse.quote(w.rstrip("\n"), safe=""))' "$E2E/data/sqli-words.txt" >"$out/words.txt"
  printf '%s\n' "products_list.php?q" "products_list.php?sort" "products_list.php?dir" "products_list.php?page" \
    "products_list.php?size" "products_list.php?s%5Bstock%5D" "products_list.php?s%5Bname%5D" \
    "products_view.php?key%5Bproduct_id%5D" "order_items_list.php?m%5Border_id%5D" \
    "order_items_view.php?key%5Border_id%5D=1&key%5Bproduct_id%5D" "products_list.php?export=csv&q" \
    "products_blob.php?key%5Bproduct_id%5D=1&fld" "orders_list.php?q" "orders_list.php?s%5Bcustomer_id%5D" \
    "orders_view.php?key%5Border_id%5D" "orders_list.php?export=csv&s%5Border_id%5D" >"$out/targets.txt"
  nice ffuf -s -u "$base/TARGET=FUZZ" -w "$out/targets.txt:TARGET" -w "$out/words.txt:FUZZ" -mode clusterbomb \
    -b "$sid" -t 4 -mc 500,502,503 -mr "SQLSTATE|PDOException|Fatal error|Warning:|syntax error$others" \
    -o "$out/results.json" -of json >"$out/ffuf.log" 2>&1 || true
  local found sent
  found="$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))["results"]))' "$out/results.json" 2>/dev/null || echo missing)"
  sent=$(( $(wc -l <"$out/targets.txt") * $(wc -l <"$out/words.txt") ))
  mkdir -p "$ROOT/build" && cp "$out/results.json" "$ROOT/build/e2e-ffuf-${1:-admin}.json" 2>/dev/null || true
  if [ "$found" = 0 ]; then
    echo "e2e: ffuf sent $sent requests and matched nothing" >&2
    pass 1
  else
    cat "$out/ffuf.log" >&2
    fail 1 "ffuf matched $found response(s)"
  fi
}

# Headless Chromium: list -> add -> save -> the new row is listed.
browser_test() {
  local node_dir="$ROOT/build/e2e-node"
  if [ ! -d "$node_dir/node_modules/playwright-core" ]; then
    mkdir -p "$node_dir"
    cp "$E2E/browser/package.json" "$node_dir/"
    (cd "$node_dir" && npm install --no-audit --no-fund --silent >/dev/null 2>&1) || {
      fail 1 "browser: could not install playwright-core from npm"
      return
    }
  fi
  if NODE_PATH="$node_dir/node_modules" E2E_URL="http://127.0.0.1:$PORT" E2E_SHOT="$ROOT/build/e2e-browser.png" \
    node "$E2E/browser/add_row.js" >&2; then
    pass 1
  else
    fail 1 "browser: list, add, save, listed"
  fi
  if NODE_PATH="$node_dir/node_modules" E2E_URL="http://127.0.0.1:$PORT" node "$E2E/browser/own_orders.js" >&2; then
    pass 1
  else
    fail 1 "browser: a customer sees only its own orders"
  fi
}

run_scans() {
  local tool
  for tool in chromium sqlmap ffuf; do
    command -v "$tool" >/dev/null || { fail 1 "$tool is not installed (scripts/bootstrap installs it)"; return; }
  done
  echo "== e2e: browser" >&2
  browser_test
  # The customer first: the administrator's scans may submit forms that change her row.
  echo "== e2e: sqlmap as a customer" >&2
  scan_sqlmap ada@example.com ada-secret
  echo "== e2e: ffuf as a customer" >&2
  scan_ffuf ada@example.com ada-secret
  echo "== e2e: sqlmap" >&2
  scan_sqlmap
  echo "== e2e: ffuf" >&2
  scan_ffuf
}
