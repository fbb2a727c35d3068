#!/usr/bin/env bash
# Installs every Debian 12 package the player needs to build, run and test.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev
  qt6-tools-dev qt6-l10n-tools
  # self-voicing: Qt TextToSpeech (its CMake package asks for QmlIntegration,
  # which Debian ships in qt6-declarative-dev) and the speech-dispatcher plugin
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin
  libfluidsynth-dev libarchive-dev libpulse-dev nlohmann-json3-dev libsdl2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # run time
  qt6-qpa-plugins fluid-soundfont-gm fonts-ipafont-gothic qt6-translations-l10n
  # the tests under a Japanese desktop, the C library's Japanese messages included
  locales libc-l10n
  # the Debian package: its build, its checks, the clean root it installs into
  file debootstrap lintian appstream desktop-file-utils
  # window tests and checks by eye and ear, under a window manager too
  xvfb xdotool x11-apps x11-utils openbox imagemagick sox
  # the window read as a screen reader reads it, on the desktop's accessibility bus
  at-spi2-core python3-pyatspi dbus dbus-x11
  # the music benchmark's sound server with a null sink
  pulseaudio pulseaudio-utils
  # self-voicing heard in a real window: a speech service and a voice
  speech-dispatcher espeak-ng
  # the script fuzzer (libFuzzer) and its seed corpus
  clang libclang-rt-14-dev python3
)

source "$(dirname "$0")/install_packages.sh"
install_packages "${packages[@]}"

# The window tests play under LANG=ja_JP.UTF-8, which the C library knows only
# once the locale is generated.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
