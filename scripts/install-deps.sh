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
  xvfb xauth x11-apps imagemagick fonts-dejavu-core
  python3 socat
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

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: need root or sudo to install ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${as_root[@]}" apt-get update
  "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
