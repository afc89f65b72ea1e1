#!/usr/bin/env bash
# Fails when a C++ file is not laid out as .clang-format says; `clang-format -i FILE` mends it.
set -euo pipefail
cd "$(dirname "$0")/.."
if git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; then
    echo "check-format: every file is formatted"
else
    echo "check-format: run clang-format -i on the files above"
    exit 1
fi
