#!/usr/bin/env bash
# `cmake --install` puts the player where Debian keeps games, with its desktop
# entry, icons, file type, AppStream metadata, man pages and the demo game.
set -euo pipefail
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
for f in games/vorn share/applications/vorn.desktop share/mime/packages/vorn.xml \
         share/man/man6/vorn.6.gz share/man/man5/vorn-script.5.gz share/doc/vorn/copyright share/doc/vorn/changelog.gz \
         share/games/vorn/demo/code.vrn share/games/vorn/demo/pictures/Moon.bmp; do
  [ -e "$dest/usr/$f" ] || { echo "missing after install: $f"; exit 1; }
done
for size in 16 22 24 32 48 64 128 256; do
  icon=$dest/usr/share/icons/hicolor/${size}x${size}/apps/vorn.png
  [ -e "$icon" ] || { echo "missing after install: the ${size}x${size} icon"; exit 1; }
  # a PNG's width and height are the big-endian words at bytes 16 and 20
  [ "$(od -An -tu4 --endian=big -j16 -N8 "$icon" | xargs)" = "$size $size" ] ||
    { echo "the ${size}x${size} icon has another size"; exit 1; }
done
metainfo=$(ls "$dest"/usr/share/metainfo/*.metainfo.xml)
grep -q '<launchable type="desktop-id">vorn.desktop</launchable>' "$metainfo"
grep -q '<image>https://' "$metainfo"
desktop=$dest/usr/share/applications/vorn.desktop
grep -q '^MimeType=application/x-vorn-script;' "$desktop"
# Offered in "Open with" for the archives games came in, never made their default handler.
for type in application/zip application/x-lha application/x-7z-compressed application/vnd.rar \
            application/vnd.ms-cab-compressed application/x-cd-image; do
  grep -q "^MimeType=.*;$type;" "$desktop" || { echo "not offered for $type"; exit 1; }
done
if find "$dest" -name 'mimeapps.list' -o -name 'defaults.list' | grep -q .; then
  echo "the install claims to be a default handler"; exit 1
fi
# the entry and its demo action start the installed program on what is installed
grep -qx 'Exec=/usr/games/vorn %f' "$desktop" || { echo "the desktop entry does not start /usr/games/vorn"; exit 1; }
grep -qx 'Exec=/usr/games/vorn /usr/share/games/vorn/demo' "$desktop" ||
  { echo "the desktop entry's demo action does not play the installed demo"; exit 1; }
grep -q 'glob pattern="\*.vrn"' "$dest/usr/share/mime/packages/vorn.xml"
gzip -dc "$dest/usr/share/man/man6/vorn.6.gz" | grep -q '/usr/share/games/vorn/demo'
[ ! -e "$dest/usr/share/games/vorn/demo/README.md" ] || { echo "the demo's making-of notes are installed"; exit 1; }
"$dest/usr/games/vorn" --version | grep -q '^vorn '
echo "install layout: ok"
