#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need. Idempotent: only
# what is missing is installed, and the package lists are refreshed only when needed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-image-formats-plugins
  libqt6svg6 qt6-qpa-plugins libgl-dev
  libqscintilla2-qt6-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libmuparser-dev
  fonts-dejavu-core fonts-liberation2
  clang libclang-rt-14-dev
  clang-format
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
