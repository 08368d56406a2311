#!/usr/bin/env bash
# Builds the native unit tests (build/native) and, with mingw-w64,
# Orvelle.exe and the end-to-end driver orvdriver.exe (build/win).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${ORVELLE_JOBS:-2}

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
make -C build/native -j"$jobs" --no-print-directory

cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" >/dev/null
make -C build/win -j"$jobs" --no-print-directory

for exe in build/win/Orvelle.exe build/win/tests/e2e/orvdriver.exe; do
  [ -f "$exe" ] || { echo "build: $exe was not produced" >&2; exit 1; }
done
