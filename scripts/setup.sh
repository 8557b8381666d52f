#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# when any of them is missing. Needs root (or sudo).
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins
  libfreetype-dev libfontconfig-dev libgif-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-comic-neue fonts-dejavu-core
  locales xdg-utils
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
