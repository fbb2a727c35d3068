#!/usr/bin/env bash
# The page's fitting of the scene to a screen and its reading of a site's
# list of games, under Node.js's own test runner. Needs the WebAssembly build.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$PWD/build-web"
# The page's modules are ES modules named .js; Node.js reads them as such in
# a folder that says so.
modules=$(mktemp -d)
trap 'rm -rf "$modules"' EXIT
cp "$build"/{page-drawing,shelf,offline,page-words}.js "$modules/"
echo '{"type":"module"}' >"$modules/package.json"
VORN_WEB_MODULES="$modules" node --test tests/web/screen_shelf.test.mjs
