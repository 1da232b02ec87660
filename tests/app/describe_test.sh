#!/usr/bin/env bash
# Command-line tests of hwc-batch describe and diff: the same words whatever the run and the
# banner date, nothing written or locked, one changed prescaler reported as exactly its setting
# and its register, a project equal to itself, other processors named first, projects that
# cannot be opened, the command lines refused, and git diff showing a change in words through
# the text conversion.
# Usage: describe_test.sh HWC_BATCH SOURCE_FOLDER
set -euo pipefail

source "$(dirname "$0")/batch_test_lib.sh" "$@"
unset SOURCE_DATE_EPOCH

expect_out() {
    local got
    got="$(cat "$work/out")"
    [ "$got" = "$1" ] || fail "$2: standard output is '$(head -c 600 "$work/out")', expected '$1'"
}

big=K7Q5110-inverter

echo "== describe: the same words on every run and with any banner date"
a="$(copy_example "$big" a)"
before="$(cd "$a/ApplicationConfig" && ls -A | tr '\n' ' ')"
cp "$(header_of "$a")" "$work/original.h"
run describe "$a"
expect_rc 0 "describe"
expect_no_stderr "describe"
cp "$work/out" "$work/first.txt"
SOURCE_DATE_EPOCH=0 run describe "$a"
cmp -s "$work/first.txt" "$work/out" || fail "describe differs with SOURCE_DATE_EPOCH=0"
SOURCE_DATE_EPOCH=1800000000 run describe "$(header_of "$a")"
cmp -s "$work/first.txt" "$work/out" || fail "describe of the header file differs (another date)"
head -n 1 "$work/first.txt" | grep -qFx "Processor: K7Q5110 (K7Q5110EVK)" ||
    fail "describe does not start with the processor: $(head -n 1 "$work/first.txt")"
grep -qFx "APPCFG_EXTAL = 16000000L" "$work/first.txt" || fail "describe lacks the crystal"
grep -qFx "PIT0 (PIT)" "$work/first.txt" || fail "describe lacks the PIT0 heading"
grep -qF "    Clock Prescaler: / 64" "$work/first.txt" || fail "describe lacks PIT0's prescaler"
grep -qFx "    PIT0_CTRL_INIT = 0x0033U" "$work/first.txt" || fail "describe lacks PIT0_CTRL_INIT"
grep -qF "$work" "$work/first.txt" && fail "describe names the project's folder"
grep -qE "[0-9]{2}/[A-Z][a-z]{2}/[0-9]{4}" "$work/first.txt" && fail "describe holds a date"
cmp -s "$work/original.h" "$(header_of "$a")" || fail "describe changed the header"
expect_files "$a/ApplicationConfig" "$before" "describe (nothing written, no lock file)"

echo "== diff: one prescaler changed"
b="$(copy_example "$big" b)"
run set --save "$b" PIT0_CTRL_INIT=0x003B
expect_rc 0 "set the PIT0 prescaler to / 128"
run diff "$a" "$b"
expect_rc 1 "diff of one changed prescaler"
expect_no_stderr "diff of one changed prescaler"
expect_out "PIT0: Clock Prescaler: / 64 -> / 128
PIT0: PIT0_CTRL_INIT: 0x0033U -> 0x003BU" "diff of one changed prescaler"
run diff "$(header_of "$b")" "$a"
expect_rc 1 "diff the other way, a file against a folder"
expect_out "PIT0: Clock Prescaler: / 128 -> / 64
PIT0: PIT0_CTRL_INIT: 0x003BU -> 0x0033U" "diff the other way"

echo "== diff: a project and itself"
run diff "$a" "$a"
expect_rc 0 "diff of a project with itself"
expect_no_stdout "diff of a project with itself"
expect_no_stderr "diff of a project with itself"
run diff "$a" "$(header_of "$a")"
expect_rc 0 "diff of a folder with its own header"
expect_no_stdout "diff of a folder with its own header"
run diff "$a" "$(copy_example "$big" c)"
expect_rc 0 "diff of two copies"
expect_no_stdout "diff of two copies"
expect_files "$a/ApplicationConfig" "$before" "diff (nothing written, no lock file)"

echo "== diff: other processors are named first"
run diff "$a" "$examples/K7Q2320-sensor-node"
expect_rc 1 "diff of two processors"
[ "$(head -n 1 "$work/out")" = "Processors differ: K7Q5110 / K7Q2320" ] ||
    fail "diff of two processors starts with '$(head -n 1 "$work/out")'"
grep -qFx "Only in A: YCAN" "$work/out" || fail "diff of two processors: no YCAN line"
grep -qFx "Only in B: CMP_A" "$work/out" || fail "diff of two processors: no CMP_A line"

echo "== a project held by another process is described all the same"
lock="$a/ApplicationConfig/appconfig.lck"
hold_lock "$a"
run describe "$a"
expect_rc 0 "describe of a held project"
cmp -s "$work/first.txt" "$work/out" || fail "describe of a held project differs"
run diff "$a" "$a"
expect_rc 0 "diff of a held project with itself"
[ "$(cat "$lock")" = "$holder" ] || fail "describe or diff touched the holder's lock file"
release_lock
rm -f "$lock"

echo "== projects that cannot be opened"
broken="$work/broken"
mkdir -p "$broken/ApplicationConfig"
printf '/* no processor here */\n#define BOARD_REV 2\n' >"$(header_of "$broken")"
run check "$broken"
cp "$work/err" "$work/check-err"
[ -s "$work/check-err" ] || fail "test set-up: check says nothing about the broken header"
for command in "describe $broken" "diff $broken $a" "diff $a $broken"; do
    # shellcheck disable=SC2086
    run $command
    expect_rc 2 "$command"
    cmp -s "$work/check-err" "$work/err" ||
        fail "$command: message '$(head -c 300 "$work/err")' is not check's"
    expect_no_stdout "$command"
done
for command in "describe $work/no-such" "diff $work/no-such $a" "diff $a $work/no-such"; do
    # shellcheck disable=SC2086
    run $command
    expect_rc 2 "$command"
    grep -qF "hwc: File not found " "$work/err" || fail "$command: $(head -c 300 "$work/err")"
    grep -qF "no-such" "$work/err" || fail "$command: the message does not name the path"
    expect_no_stdout "$command"
done

echo "== output that cannot be written is no result"
if [ -w /dev/full ]; then
    rc=0
    "$batch" describe "$a" >/dev/full 2>"$work/err" || rc=$?
    expect_rc 2 "describe into a full disk"
    grep -qFx "hwc: The output could not be written." "$work/err" ||
        fail "describe into a full disk: $(head -c 300 "$work/err")"
    rc=0
    "$batch" diff "$a" "$b" >/dev/full 2>"$work/err" || rc=$?
    expect_rc 2 "diff into a full disk"
fi

echo "== command lines refused"
for command in "describe" "describe $a $a" "describe --save $a" "diff $a" "diff $a $a $a" \
    "diff --werror $a $a"; do
    # shellcheck disable=SC2086
    run $command
    expect_rc 2 "hwc-batch $command"
    grep -q "^usage: hwc-batch" "$work/err" || fail "hwc-batch $command: no usage text"
    expect_no_stdout "hwc-batch $command"
done

echo "== git diff in words through the text conversion"
if command -v git >/dev/null 2>&1; then
    repo="$work/repo"
    cp -r "$examples/$big" "$repo"
    git_() { git -C "$repo" -c user.name=Test -c user.email=test@example.invalid "$@"; }
    git_ init -q
    echo "appconfig.h diff=hwc" >"$repo/.gitattributes"
    git_ config diff.hwc.textconv "hwc-batch describe"
    git_ add -A
    git_ commit -q -m "example"
    PATH="$(dirname "$batch"):$PATH" "$batch" set --save "$repo" PIT0_CTRL_INIT=0x003B \
        >/dev/null 2>&1 || fail "git diff set-up: set --save failed"
    rm -f "$repo/ApplicationConfig/appconfig.bak"
    PATH="$(dirname "$batch"):$PATH" git_ diff --no-color -U0 >"$work/git-diff" 2>"$work/err" ||
        fail "git diff failed: $(head -c 300 "$work/err")"
    grep -v -e '^diff --git' -e '^index ' -e '^--- ' -e '^+++ ' -e '^@@' "$work/git-diff" \
        >"$work/git-lines" || true
    got="$(sed 's/ *$//' "$work/git-lines")"
    expected="-    Clock Prescaler: / 64
+    Clock Prescaler: / 128
-    PIT0_CTRL_INIT = 0x0033U
+    PIT0_CTRL_INIT = 0x003BU"
    [ "$got" = "$expected" ] || fail "git diff shows '$got', expected '$expected'"
    # The hunk header names the module the change is in.
    grep -q '^@@ .* @@ PIT0 (PIT)$' "$work/git-diff" ||
        fail "git diff hunk headers do not name PIT0: $(grep '^@@' "$work/git-diff" | head -3)"
else
    echo "git is not installed: the text conversion is not tried"
fi

finish "All hwc-batch describe and diff checks passed."
