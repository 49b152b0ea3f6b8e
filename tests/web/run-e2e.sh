#!/usr/bin/env bash
# Serves the site from 127.0.0.1 in five forms (as built; without Demo.jpg;
# with a PNG as Demo.jpg; with Demo.jpg cut in half; with its frame header
# declaring 65500 x 65500 pixels, far above the adapter's cap) and runs the
# browser tests against it: headless Chromium, then Firefox ESR windowed in
# an Xvfb of its own. A missing tool fails the test.
set -euo pipefail
site=$1
here="$(cd "$(dirname "$0")" && pwd)"
for tool in node python3 /usr/bin/chromium /usr/bin/firefox-esr Xvfb; do
  command -v "$tool" >/dev/null || { echo "run-e2e: $tool is missing" >&2; exit 1; }
done
[[ -d "$here/node_modules/puppeteer-core" ]] ||
  { echo "run-e2e: puppeteer-core is not installed (scripts/test-web installs it)" >&2; exit 1; }
[[ -f "$site/tunnel.wasm" ]] || { echo "run-e2e: no site in $site" >&2; exit 1; }

root=$(mktemp -d)
server=
xserver=
cleanup() {
  for process in "$server" "$xserver"; do
    [[ -n "$process" ]] || continue
    kill "$process" 2>/dev/null || true
    wait "$process" 2>/dev/null || true
  done
  rm -rf "$root"
}
trap cleanup EXIT
for form in ok missing notjpeg truncated huge; do
  cp -r "$site" "$root/$form"
done
rm "$root/missing/Demo.jpg"
cp "$site/zelk-tunnel.png" "$root/notjpeg/Demo.jpg"
head -c "$(($(stat -c %s "$site/Demo.jpg") / 2))" "$site/Demo.jpg" >"$root/truncated/Demo.jpg"
python3 - "$root/huge/Demo.jpg" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
frame = data.index(b'\xff\xc0')  # baseline frame header: length, precision, height, width
data[frame + 5:frame + 9] = b'\xff\xdc\xff\xdc'
open(sys.argv[1], 'wb').write(data)
PY

# Port 0: the system picks a free one, which the server prints.
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$root" >"$root/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/.*127\.0\.0\.1 port \([0-9]*\).*/\1/p' "$root/server.log")
  [[ -n "$port" ]] && break
  sleep 0.1
done
[[ -n "$port" ]] || { echo "run-e2e: the server did not start" >&2; cat "$root/server.log" >&2; exit 1; }
shots=${TUNNEL_WEB_SHOTS:-$site/../web-shots}
status=0
node "$here/tunnel-e2e.mjs" "http://127.0.0.1:$port" "$root/ok" "$shots" || status=1

# Xvfb picks a free display and writes its number once it accepts clients.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -noreset -screen 0 1280x1024x24 >"$root/xvfb.log" 2>&1 &
xserver=$!
read -r -t 30 -u "$displayfd" display ||
  { echo "run-e2e: Xvfb did not start" >&2; cat "$root/xvfb.log" >&2; exit 1; }
DISPLAY=":$display" node "$here/firefox-e2e.mjs" "http://127.0.0.1:$port" "$root/ok" "$shots" || status=1
exit "$status"
