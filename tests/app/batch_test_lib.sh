# What the hwc-batch command-line tests share. A test sources this file with its own arguments
# HWC_BATCH SOURCE_FOLDER: it sets $batch and $examples, makes the scratch folder $work (removed
# at exit, after ending a process the test keeps in $holder), and brings failure counting,
# running the program, and checks on its exit status, output and files.
if [ $# -ne 2 ]; then
    echo "usage: $0 HWC_BATCH SOURCE_FOLDER" >&2
    exit 2
fi
batch="$(realpath "$1")"
examples="$2/examples"
[ -x "$batch" ] || { echo "FAIL: $batch is not an executable" >&2; exit 1; }

work="$(mktemp -d)"
holder=""
cleanup() {
    if [ -n "$holder" ]; then
        kill "$holder" 2>/dev/null || true
        wait "$holder" 2>/dev/null || true
    fi
    chmod -R u+w "$work"
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs hwc-batch; its output lands in $work/out and $work/err, its exit status in $rc.
run() {
    rc=0
    "$batch" "$@" >"$work/out" 2>"$work/err" || rc=$?
}
expect_no_stdout() {
    [ ! -s "$work/out" ] || fail "$1: unexpected standard output: $(head -c 400 "$work/out")"
}
expect_no_stderr() {
    [ ! -s "$work/err" ] || fail "$1: unexpected standard error: $(head -c 400 "$work/err")"
}
expect_rc() {
    [ "$rc" -eq "$1" ] ||
        fail "$2: exit status $rc, expected $1; stderr: $(head -c 600 "$work/err")"
}
# The listing expect_files compares with, for a folder holding these names.
listing() {
    local folder
    folder="$(mktemp -d)"
    (cd "$folder" && touch "$@" && ls -A | tr '\n' ' ')
    rm -rf "$folder"
}
# The files a project folder holds, sorted: nothing left behind but what is expected.
expect_files() {
    local got
    got="$(cd "$1" && ls -A | tr '\n' ' ')"
    [ "$got" = "$2" ] || fail "$3: folder holds '$got', expected '$2'"
}
# A fresh copy of an example project; prints the copy's folder.
copy_example() {
    local copy="$work/$1-$2"
    rm -rf "$copy"
    cp -r "$examples/$1" "$copy"
    echo "$copy"
}
header_of() { echo "$1/ApplicationConfig/appconfig.h"; }

# Ends the script: exit status 1 when any check failed, else the line that says all passed.
finish() {
    if [ "$failures" -gt 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "$1"
}

# Starts a process that holds the project's lock and names itself in the lock file, as a running
# instance does; its process id is left in $holder (ended at exit, or by release_lock).
hold_lock() {
    local lock="$1/ApplicationConfig/appconfig.lck"
    : >"$lock"
    (
        exec 9<>"$lock"
        flock -x 9
        echo "$BASHPID" >"$lock"
        exec sleep 120
    ) >/dev/null 2>&1 &
    holder=$!
    for _ in $(seq 100); do
        [ "$(cat "$lock")" = "$holder" ] && ! flock -n "$lock" true && break
        sleep 0.05
    done
    [ "$(cat "$lock")" = "$holder" ] || fail "test set-up: the lock holder did not start"
}
release_lock() {
    kill "$holder" 2>/dev/null || true
    wait "$holder" 2>/dev/null || true
    holder=""
}
