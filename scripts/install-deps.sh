#!/usr/bin/env bash
# Installs the Debian 12 packages LumoDM needs to build, test and run.
# Only what is missing is installed; as root directly, otherwise through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6serialport6 qt6-serialport-dev libgl-dev
  qt6-charts-dev libqt6charts6 libqt6opengl6-dev qt6-svg-dev libqt6svg6
  libgtest-dev libgmock-dev libbenchmark-dev
  mosquitto libmosquitto-dev mosquitto-clients openssl
  clang libclang-rt-14-dev
  fonts-dseg fonts-liberation2
  locales
)
# What scripts/package.sh needs besides: the checks, the manual pages and
# the package's dependencies.
if [ -n "${LUMODM_PACKAGING:-}" ]; then
  packages+=(appstream desktop-file-utils help2man dpkg-dev file lintian)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
else
  sudo_cmd=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The log's tests write numbers under a German locale (decimal comma). Listed
# in /etc/locale.gen, it survives the locales package regenerating them all.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale"
  if ! grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen --keep-existing
fi
