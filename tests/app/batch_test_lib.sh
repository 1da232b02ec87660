# What the hwc-batch command-line tests share, sourced by them after they set $batch, $examples
# and $work: failure counting, running the program, and checks on its exit status and files.

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
