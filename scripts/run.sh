#!/usr/bin/env bash
# Sets up, builds and starts the ORLO reader on the bundled example data.
# Builds into build-run/ (programs only), apart from the test build in build/,
# so switching between the two commands never reconfigures either.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${BUILD_DIR:-$root/build-run}
BUILD_DIR=$build "$root/scripts/build.sh" -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF
examples=("$root"/examples/*.orl)
exec "$build/orlo/workspace/orlo" "${examples[@]}"
