#!/usr/bin/env bash
# Every example project, re-processed, must still be a header the C compiler accepts (included
# twice, so the guard must hold), and a second re-process must not change a byte.
# Usage: compile_examples_test.sh HWC_BATCH SOURCE_FOLDER
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 HWC_BATCH SOURCE_FOLDER" >&2
    exit 2
fi
batch="$(realpath "$1")"
examples="$2/examples"
cc="${CC:-gcc}"
if ! command -v "$cc" >/dev/null; then
    echo "no C compiler ($cc): skipped"
    exit 0
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH=1700000000

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Compiles a translation unit that includes the header twice (the guard must hold) and reads one
# of its macros, so that a header cut in the middle of a directive or comment is caught.
compiles() {
    local folder="$1"
    printf '#include "appconfig.h"\n#include "appconfig.h"\nint main(void) { return 0; }\n' \
        >"$folder/use.c"
    "$cc" -std=c99 -fsyntax-only -Werror=implicit-function-declaration "$folder/use.c" \
        2>"$work/cc.err"
}

count=0
for project in "$examples"/*/; do
    header="$project/ApplicationConfig/appconfig.h"
    [ -f "$header" ] || continue
    name="$(basename "$project")"
    copy="$work/$name"
    cp -r "$project" "$copy"
    folder="$copy/ApplicationConfig"

    compiles "$folder" || fail "$name: the shipped header does not compile: $(head -c 300 "$work/cc.err")"
    if ! "$batch" reprocess "$copy" >/dev/null 2>"$work/err"; then
        fail "$name: reprocess failed: $(cat "$work/err")"
        continue
    fi
    compiles "$folder" || fail "$name: the saved header does not compile: $(head -c 300 "$work/cc.err")"
    cp "$folder/appconfig.h" "$work/first.h"
    "$batch" reprocess "$copy" >/dev/null 2>&1 || fail "$name: second reprocess failed"
    cmp -s "$work/first.h" "$folder/appconfig.h" || fail "$name: a second reprocess changed the header"
    count=$((count + 1))
done

[ "$count" -gt 0 ] || fail "no example project found under $examples"
if [ "$failures" -gt 0 ]; then
    echo "$failures failed" >&2
    exit 1
fi
echo "$count examples compile after a re-process"
