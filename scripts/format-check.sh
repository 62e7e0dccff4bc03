#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from .clang-format; names the files.
#   bash scripts/format-check.sh         check
#   bash scripts/format-check.sh --fix   format them in place
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format-check: clang-format fehlt" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
differ=$(clang-format --dry-run "${files[@]}" 2>&1 | grep 'warning:' | cut -d: -f1 | sort -u || true)
if [ -n "$differ" ]; then
  echo "format-check: these files differ from .clang-format (bash scripts/format-check.sh --fix):" >&2
  echo "$differ" >&2
  exit 1
fi
