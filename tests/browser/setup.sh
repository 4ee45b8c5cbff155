#!/usr/bin/env bash
# Installs playwright-core for the browser tests into tests/browser/node_modules when it is missing.
# Chromium itself comes from Debian (scripts/setup); playwright-core never downloads a browser of its own.
set -euo pipefail
cd "$(dirname "$0")"

if [ -d node_modules/playwright-core ]; then
    echo "browser setup: playwright-core is installed."
    exit 0
fi
if ! command -v npm >/dev/null 2>&1; then
    echo "browser setup: npm is missing; install the Debian packages nodejs and npm first." >&2
    exit 1
fi
echo "browser setup: installing playwright-core"
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
if [ -f package-lock.json ]; then
    npm ci --no-audit --no-fund --loglevel=error
else
    npm install --no-audit --no-fund --loglevel=error
fi
