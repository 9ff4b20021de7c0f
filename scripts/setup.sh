#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need, and fetches the
# icon font. Safe to run again: it only installs what is missing. Installing needs root: run as
# root, or as a user who may use sudo. On macOS it only checks the tools and fetches the font.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools qt6-svg-dev
  qt6-connectivity-dev libqt6svg6 libquazip1-qt6-dev
  qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
  qml6-module-qtquick qml6-module-qtquick-window qml6-module-qtquick-templates
  qml6-module-qtquick-controls qml6-module-qtquick-layouts qml6-module-qtquick-dialogs
  qml6-module-qtqml-models qml6-module-qttest qml6-module-qt-labs-platform
  qt6-qpa-plugins libqt6svg6
  xvfb xauth x11-utils dbus fonts-liberation2 fonts-dejavu-core
  python3-openpyxl xlsx2csv clang libclang-rt-14-dev poppler-utils
  xdotool openbox imagemagick fonts-noto-color-emoji libglib2.0-bin x11-xserver-utils
)

install_debian_packages() {
  # npm comes with the machine's Node.js; Debian's npm is only a fallback.
  command -v npm >/dev/null 2>&1 || packages+=(npm)
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Missing Debian packages: ${missing[*]}" >&2
      echo "Installing them needs root: run this as root, or install sudo." >&2
      exit 1
    fi
    as_root=(sudo)
  fi
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# On macOS the tools come from Homebrew or the Qt installer (README, "On macOS").
check_macos_tools() {
  local tool
  for tool in cmake ninja npm; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "$tool is missing: install it first (README, \"On macOS\")." >&2
      exit 1
    fi
  done
}

if [ "$(uname -s)" = Darwin ]; then
  check_macos_tools
else
  install_debian_packages
fi

# The icon font: Font Awesome 6 Free Solid from the npm registry (it ships .ttf only).
font=third_party/fonts/fa-solid-900.ttf
if [ ! -s "$font" ]; then
  tmp=$(mktemp -d)
  (cd "$tmp" && npm pack --silent @fortawesome/fontawesome-free@6 >/dev/null)
  tar -xzf "$tmp"/fortawesome-fontawesome-free-*.tgz -C "$tmp" package/webfonts/fa-solid-900.ttf
  mkdir -p "$(dirname "$font")"
  cp "$tmp"/package/webfonts/fa-solid-900.ttf "$font"
  rm -rf "$tmp"
fi
