#!/usr/bin/env bash
# THE test command: installs what is missing, builds both trees, runs the
# unit tests and then the end-to-end suite under Wine. Exit status 0 only if
# everything passed. Works without a display and without a terminal (CI).
set -euo pipefail
cd "$(dirname "$0")/.."
exec </dev/null

bash scripts/setup.sh

status=0
# Each layer includes only the layers below it (the build runs this too).
bash scripts/check-layers.sh || status=1

bash scripts/build.sh

echo "== unit tests"
ctest --test-dir build/native --output-on-failure || status=1

# The same unit tests once more under AddressSanitizer and UndefinedBehavior-
# Sanitizer: any finding fails the run.
echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" >/dev/null
make -C build/asan -j"${ORVELLE_JOBS:-2}" --no-print-directory orvelle_unit_tests >/dev/null
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build/asan/tests/unit/orvelle_unit_tests --gtest_brief=1 || status=1

echo "== end-to-end tests under Wine"
bash tests/e2e/run.sh || status=1
# The same suite where Windows would use another ANSI code page: English
# (1252) and set to UTF-8 (65001). Orvelle must not depend on it.
bash tests/e2e/run.sh --locale en_US.UTF-8 || status=1
bash tests/e2e/run.sh --locale hi_IN.UTF-8 || status=1
echo "== the written pages in headless Chromium" && node tests/browser/check.js || status=1
echo "== the page for today's readers in headless Chromium" && node tests/browser/today.js || status=1
echo "== the link check's report and marks in headless Chromium" && node tests/browser/report.js || status=1

if [ "$status" -eq 0 ]; then echo "test: all passed"; else echo "test: FAILED"; fi
exit "$status"
