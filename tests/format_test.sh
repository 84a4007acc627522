#!/usr/bin/env bash
# The C++ sources follow .clang-format: clang-format names every file that does not, with the
# lines it would change. Usage: format_test.sh ROOT
set -u
cd "$1" || exit 1
format=clang-format-14
command -v "$format" >/dev/null || { echo "FAILED: $format is not installed (scripts/setup installs it)" >&2; exit 1; }
find src tests tools bench server \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 "$format" --dry-run --Werror
