# Sourced by the setup scripts: install_packages PACKAGE... installs those of
# the Debian packages named that are not installed yet; $sudo is "sudo" when
# not root, for the scripts' other system changes too.
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}
