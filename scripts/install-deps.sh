#!/usr/bin/env bash
# Installs the Debian packages Velomast needs to build, test and run.
# Idempotent: when everything is present it only checks and returns.
# Without root rights it prints the apt-get command instead of failing.
set -euo pipefail

packages=(
  cmake g++ ninja-build
  qt6-base-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core fonts-liberation2
  xvfb
  qt6-translations-l10n
  dpkg-dev file appstream desktop-file-utils
  poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "Velomast needs these packages: ${missing[*]}"
  echo "Install them with:  sudo apt-get update && sudo $cmd"
  exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A fresh machine may have no package lists yet; refresh them only when needed.
if ! apt-get install -y --no-install-recommends "${missing[@]}"; then
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
