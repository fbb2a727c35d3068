#!/usr/bin/env bash
# `cmake --install` puts the player, its desktop entry, icon, file type and man pages in place.
set -euo pipefail
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
for f in bin/vorn share/applications/vorn.desktop share/icons/hicolor/32x32/apps/vorn.png \
         share/mime/packages/vorn.xml share/man/man6/vorn.6 share/man/man5/vorn-script.5; do
  [ -e "$dest/usr/$f" ] || { echo "missing after install: $f"; exit 1; }
done
grep -q '^MimeType=application/x-vorn-script;' "$dest/usr/share/applications/vorn.desktop"
# Offered in "Open with" for the archives games came in, never made their default handler.
for type in application/zip application/x-lha application/x-7z-compressed application/vnd.rar \
            application/vnd.ms-cab-compressed application/x-cd-image; do
  grep -q "^MimeType=.*;$type;" "$dest/usr/share/applications/vorn.desktop" || { echo "not offered for $type"; exit 1; }
done
if find "$dest" -name 'mimeapps.list' -o -name 'defaults.list' | grep -q .; then
  echo "the install claims to be a default handler"; exit 1
fi
if desktop-file-validate --help >/dev/null 2>&1; then desktop-file-validate "$dest/usr/share/applications/vorn.desktop"; fi
grep -q 'glob pattern="\*.vrn"' "$dest/usr/share/mime/packages/vorn.xml"
"$dest/usr/bin/vorn" --version | grep -q '^vorn '
echo "install layout: ok"
