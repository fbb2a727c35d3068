#!/usr/bin/env bash
# Builds the Debian package and checks it as a reader meets it: lintian finds no
# errors, the AppStream metadata and the desktop entry validate, and
# `apt install ./vorn_*.deb` on a fresh minimal Debian 12 (a debootstrap root)
# brings everything the installed player needs to play the installed demo.
# Needs root (or sudo) for debootstrap and chroot, and the Debian mirror.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
bash scripts/setup.sh

work=$(mktemp -d)
root=$work/root
cleanup() {
  if [ -n "${bootstrap:-}" ]; then kill "$bootstrap" 2>/dev/null || true; wait "$bootstrap" 2>/dev/null || true; fi
  if mountpoint -q "$root/proc" 2>/dev/null; then $sudo umount "$root/proc"; fi
  # never remove a root whose /proc is still mounted
  if ! mountpoint -q "$root/proc" 2>/dev/null; then $sudo rm -rf "$work"; fi
}
trap cleanup EXIT

# The clean root comes from the mirror this machine is configured with; it is
# made while the package compiles.
debian_repos=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' 'Component: main' |
  awk '$2 ~ /^bookworm(-updates|-security)?$/' | sort -u)
mirror=$(awk '$2 == "bookworm" { print $1; exit }' <<<"$debian_repos")
mirror=${mirror:-http://deb.debian.org/debian/}
$sudo debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 &
bootstrap=$!

deb=$(bash scripts/package.sh | tail -n 1)
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"

# lintian: no errors; its warnings and notes go to the log.
status=0
report=$(lintian --fail-on error --display-level '>=info' "$deb" 2>&1) || status=$?
grep -v 'root privileges' <<<"$report" || true
[ $status -eq 0 ] || { echo "FAIL: lintian reports errors"; exit 1; }

unpacked=$work/unpacked
dpkg-deb -x "$deb" "$unpacked"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$unpacked/usr/share/applications/vorn.desktop"

if ! wait "$bootstrap"; then
  bootstrap=""
  tail -n 20 "$work/debootstrap.log"
  echo "FAIL: debootstrap of a clean Debian 12 root"
  exit 1
fi
bootstrap=""
echo "clean root made ($((SECONDS - started)) s so far)"

awk '{ print "deb " $1 " " $2 " main" }' <<<"$debian_repos" | $sudo tee "$root/etc/apt/sources.list" >/dev/null
# no services start inside the root
printf '#!/bin/sh\nexit 101\n' | $sudo tee "$root/usr/sbin/policy-rc.d" >/dev/null
$sudo chmod +x "$root/usr/sbin/policy-rc.d"
$sudo mount -t proc proc "$root/proc"
$sudo cp "$deb" "$root/tmp/"
in_root() { $sudo chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
in_root apt-get update -q >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
# Depends alone must be enough: recommended packages stay out.
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "/tmp/$(basename "$deb")" >>"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
echo "installed with apt ($((SECONDS - started)) s so far)"

fail() { echo "FAIL: $*"; exit 1; }

# What the window needs beyond the program's own links: the X11 platform
# plugin with its libraries, FluidSynth (opened at run time), a General MIDI
# soundfont where the player looks first, and the Gothic font.
in_root test -x /usr/games/vorn || fail "no /usr/games/vorn"
missing=$(in_root ldd /usr/games/vorn /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so \
  /usr/lib/x86_64-linux-gnu/qt6/plugins/imageformats/libqico.so 2>&1 | grep -E 'not found|No such file' || true)
[ -z "$missing" ] || fail "libraries missing in the clean root: $missing"
in_root ldconfig -p | grep -q 'libfluidsynth\.so\.3 ' || fail "libfluidsynth.so.3 is not installed"
in_root test -e /usr/share/sounds/sf2/default-GM.sf2 || fail "no General MIDI soundfont at default-GM.sf2"
in_root fc-list | grep -q 'IPAGothic' || fail "the IPA Gothic font is not installed"
in_root test -e /usr/share/man/man6/vorn.6.gz || fail "no man page"

# The window opens on Qt's offscreen platform and sets up the music: FluidSynth
# opens and loads the soundfont, and only the audio output, which a chroot
# lacks, is missing. Then it ends in order on SIGTERM.
$sudo chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root LANG=C.UTF-8 XDG_RUNTIME_DIR=/tmp QT_QPA_PLATFORM=offscreen \
  timeout -k 5 60 /usr/games/vorn --zoom 1 /usr/share/games/vorn/demo 2>"$work/window.err" &
window=$!
for _ in $(seq 120); do grep -q 'music is off' "$work/window.err" && break; sleep 0.25; done
kill -TERM "$window"
wait "$window" || fail "the installed window ends with status $?: $(cat "$work/window.err")"
grep -q 'music is off: no audio output' "$work/window.err" ||
  fail "the installed window's music cannot start: $(cat "$work/window.err")"

# The installed player plays the installed demo headless, exactly as the
# player just built plays the demo in the source tree.
# Up the steps to the shrine, the coin offered, into the night, and quit.
events=$'click text\nclick text\nclick text\nclick text\nclick text\nclick option 2\nclick text\nclick text\nclick text\nmenu quit\n'
installed=$(in_root /usr/games/vorn --headless /usr/share/games/vorn/demo <<<"$events") ||
  fail "the installed player ends the demo with status $?"
built=$(build-package/vorn --headless examples/demo <<<"$events")
[ "$installed" = "$built" ] || {
  diff <(echo "$built") <(echo "$installed") | head -n 20
  fail "the installed demo plays otherwise than the demo in the source tree"
}
grep -q '"fatal"' <<<"$installed" && fail "the installed demo ends in a fatal error"
grep -q '"picture":"Image1","file":"night.bmp"' <<<"$installed" || fail "the demo's night scene is not shown"
grep -q '"device":"FileName","value":"night.mid"' <<<"$installed" || fail "the demo's night music is not played"
grep -q '白い狐' <<<"$installed" || fail "the demo's Japanese page is not read"
in_root /usr/games/vorn check /usr/share/games/vorn/demo >/dev/null || fail "vorn check finds errors in the installed demo"

echo "package: ok ($((SECONDS - started)) s)"
