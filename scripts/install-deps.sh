#!/usr/bin/env bash
# Installs the Debian packages Velomast needs to build, test and run.
# Idempotent: when everything is present it only checks and returns.
# Without root rights it prints the apt-get command instead of failing.
# The NEC-2 engines (nec2c, xnec2c) are optional: the editor builds and runs without
# them, and a failure to install them never fails this script.
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

# Used only by the analysis commands ("Расчёт (nec2c)", xnec2c in place of a Windows analyser).
optional=(nec2c xnec2c)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing_optional+=("$p")
done

if [[ ${#missing[@]} -eq 0 && ${#missing_optional[@]} -eq 0 ]]; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Velomast needs these packages: ${missing[*]}"
    echo "Install them with:  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}"
  fi
  if [[ ${#missing_optional[@]} -gt 0 ]]; then
    echo "Optional, for the antenna analysis: ${missing_optional[*]}"
    echo "Install them with:  sudo apt-get install -y ${missing_optional[*]}"
  fi
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  # A fresh machine may have no package lists yet; refresh them only when needed.
  if ! apt-get install -y --no-install-recommends "${missing[@]}"; then
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
  fi
fi

# Each optional package on its own, so that one missing from the archive keeps the other.
for p in "${missing_optional[@]}"; do
  echo "Installing (optional): $p"
  if ! apt-get install -y --no-install-recommends "$p"; then
    apt-get update >/dev/null 2>&1 || true
    apt-get install -y --no-install-recommends "$p" ||
      echo "Could not install $p; the editor works without it (the analysis commands say so)."
  fi
done
exit 0
