#!/usr/bin/env bash
# Fails when a C++ file of the project drifts from the checked-in .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is missing" >&2; exit 1; }
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
drift=()
for f in "${files[@]}"; do
  [[ -f $f ]] || continue
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || drift+=("$f")
done
if [[ ${#drift[@]} -gt 0 ]]; then
  printf 'not formatted (clang-format -i FILE): %s\n' "${drift[@]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files match .clang-format"
