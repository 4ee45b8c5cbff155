#!/usr/bin/env bash
# Runs the forms end-to-end test in Chromium against a headless Tessaro on its built-in simulator.
# Exits 77 (reported by ctest as skipped, never as passed) when something it needs is missing.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tessaro="${1:-}"

skip() {
    echo "SKIPPED: $*"
    exit 77
}

command -v node >/dev/null 2>&1 || skip "node is not installed (Debian packages nodejs and npm)"
chromium="${CHROMIUM:-$(command -v chromium || command -v chromium-browser || true)}"
[ -n "$chromium" ] || skip "chromium is not installed (Debian package chromium)"
if [ ! -d "$here/node_modules/playwright-core" ]; then
    "$here/setup.sh" || skip "playwright-core could not be installed"
fi
[ -n "$tessaro" ] && [ -x "$tessaro" ] || skip "no tessaro program at '$tessaro'"
"$tessaro" --headless --simulator --forms-port 0 --version >/dev/null 2>&1 ||
    skip "this tessaro build does not offer --simulator and --forms-port yet"

CHROMIUM="$chromium" exec node "$here/forms_e2e.mjs" "$tessaro"
