#!/usr/bin/env bash
# Installs every Debian package the build, tests, benchmarks, fuzzers and
# screenshots need. Idempotent and quick when all of them are present.
# Runs as root, or through sudo for a normal user.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6serialport6 qt6-serialport-dev libgl-dev
  libqcustomplot-dev libqcustomplot2.1-qt6
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps xdotool imagemagick fonts-dejavu-core
  python3 socat locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# The suites that touch numbers run a second time under this locale (decimal
# comma); without it the C library would quietly stay on the "." of C.
test_locale=cs_CZ.UTF-8
has_locale() { locale -a 2>/dev/null | grep -qiE '^cs_CZ\.utf-?8$'; }

if [ ${#missing[@]} -eq 0 ] && has_locale; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: need root or sudo to install ${missing[*]} and the $test_locale locale" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    "${as_root[@]}" apt-get update
    "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
  fi
fi

if ! has_locale; then
  echo "Generating the $test_locale locale"
  # Enabled in locale.gen too, so a later locale-gen keeps it.
  if ! grep -qE "^$test_locale UTF-8" /etc/locale.gen 2>/dev/null; then
    echo "$test_locale UTF-8" | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${as_root[@]}" locale-gen --keep-existing
fi
