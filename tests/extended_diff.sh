#!/bin/bash
# Runs COUNT generated number cases through the native extended_cases and the WebAssembly
# one (under node) and compares their answers line by line. SEED picks the cases (1).
# usage: extended_diff.sh NATIVE WASM_JS COUNT
set -euo pipefail
native=$1 wasm=$2 count=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

python3 "$(dirname "$0")/extended_cases.py" "$count" "${SEED:-1}" >"$dir/cases"
# The 国外配当 cases read amounts with the user's decimal separator: "." in the C locale.
LC_ALL=C "$native" <"$dir/cases" >"$dir/native"
LC_ALL=C node "$wasm" <"$dir/cases" >"$dir/wasm"

paste -d '\n' "$dir/cases" "$dir/native" "$dir/wasm" | awk -v cases="$(wc -l <"$dir/cases")" '
    NR % 3 == 1 { c = $0 } NR % 3 == 2 { n = $0 }
    NR % 3 == 0 && n != $0 {
        if (++d <= 5)
            printf "case:   %.300s\nnative: %.300s\nwasm:   %.300s\n", c, n, $0
    }
    END { printf "%d cases, %d differences\n", cases, d; exit d > 0 || NR != 3 * cases }'
