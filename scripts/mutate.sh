#!/usr/bin/env bash
# mutate.sh [LIST...] [--only REGEX] [--tests REGEX] [--timeout S]: a mutation run. Each mutant of the lists (default
# scripts/mutants.txt) is applied alone, its test programs rebuilt and run, the source put back byte for
# byte; prints caught / survived / did-not-build per mutant and the score. Needs a configured build/.
# The format of a list is described in scripts/mutate.py.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ -f "$root/build/build.ninja" ] || { echo "mutate: configure build/ first (cmake --preset default)" >&2; exit 1; }
exec python3 "$root/scripts/mutate.py" "$@"
