#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite headless: once in the normal build,
# once built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
export QT_QPA_PLATFORM=offscreen
setup_vorix build
# Many tests wait on the disk, their child processes or their server more than they compute: twice as
# many at once as there are cores keeps the cores busy. The sanitized tests compute more, and run
# one more than the cores.
ctest --test-dir build --output-on-failure -j"$((2 * $(nproc)))"
setup_vorix build-asan -DCMAKE_BUILD_TYPE=Debug -DVORIX_SANITIZE=ON -DVORIX_BENCH=OFF
# The kill-point tests prove the file's all-or-nothing in the normal build; under the sanitizers
# each of their hundreds of child processes would start sanitized for minutes more of the same.
# A freed block stays poisoned until 32 MB more have been freed (a use after free is caught within
# that): with the default 256 MB the kernel's paging of the held blocks took half the run's time.
ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=32 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$(($(nproc) + 1))" -E 'KillTest$'
