#!/usr/bin/env bash
# The page's keys against the player's key table, under Node.js's own test
# runner: build-web/keys.js and build-web/vorn-web.js. Needs the WebAssembly build.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$PWD/build-web"
# The page's modules are ES modules named .js; Node.js reads them as such in
# a folder that says so.
modules=$(mktemp -d)
trap 'rm -rf "$modules"' EXIT
cp "$build/keys.js" "$build/page-input.js" "$modules/"
echo '{"type":"module"}' >"$modules/package.json"
VORN_WEB_MODULES="$modules" VORN_WEB_BUILD="$build" node --test tests/web/keys.test.mjs
