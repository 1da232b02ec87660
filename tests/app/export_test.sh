#!/usr/bin/env bash
# Command-line tests of hwc-batch export: every example (plug-in projects included) gives JSON
# that a JSON parser reads, with the format and the processor; the output does not depend on the
# run, the date or the project's place; user text with control characters and bytes that are not
# UTF-8 still gives valid JSON that reads back; nothing is written into the project; a broken
# header, a missing project and an output that cannot be written exit 2.
# Usage: export_test.sh HWC_BATCH SOURCE_FOLDER
set -euo pipefail

source "$(dirname "$0")/batch_test_lib.sh" "$@"
unset SOURCE_DATE_EPOCH

command -v python3 >/dev/null || { echo "FAIL: python3 is needed to read the JSON" >&2; exit 1; }

# The output is JSON with format 1 and the processor define the header names.
expect_export() {
    python3 -c 'import json,sys; json.load(sys.stdin)' <"$work/out" ||
        { fail "$1: the output is no JSON"; return; }
    python3 - "$2" "$work/out" <<'EOF' || fail "$1: format, processor or a setting's caption missing"
import json, sys
doc = json.load(open(sys.argv[2], encoding="utf-8"))
assert doc["format"] == 1, doc["format"]
assert doc["processor"]["define"] == sys.argv[1], doc["processor"]
assert doc["processor"]["name"], doc["processor"]
assert doc["modules"], "no modules"
# Every setting tells a reader what it is called.
unnamed = [(m["instance"], s["control"]) for m in doc["modules"] for s in m["settings"]
           if not s["caption"]]
assert not unnamed, unnamed
EOF
}

echo "== every example"
"$batch" processors | cut -d' ' -f1 >"$work/macros"
count=0
for example in "$examples"/*/; do
    name="$(basename "$example")"
    [ -f "$example/ApplicationConfig/appconfig.h" ] || continue
    count=$((count + 1))
    mkdir -p "$work/one" "$work/two"
    cp -r "$example" "$work/one/$name"
    cp -r "$example" "$work/two/$name"
    p="$work/one/$name"
    # The bare define of the header that names a processor.
    define="$(tr -d '\r' <"$(header_of "$p")" | sed -n 's/^#define \([A-Z0-9_]*\)$/\1/p' |
        grep -Fx -f "$work/macros" | head -1 || true)"
    [ -n "$define" ] || fail "test set-up: no processor define in $name"
    run export "$p"
    expect_rc 0 "export $name"
    expect_no_stderr "export $name"
    expect_export "export $name" "$define"
    cp "$work/out" "$work/first.json"
    # Again, with --format=json, with a date set, and from another folder: the same bytes.
    SOURCE_DATE_EPOCH=86400 run export --format=json "$work/two/$name/ApplicationConfig/appconfig.h"
    expect_rc 0 "second export $name"
    cmp -s "$work/first.json" "$work/out" || fail "export of $name differs between two runs"
    # Reading is all it does: the project folder is left as it was.
    diff -r "$example" "$p" >/dev/null || fail "export changed the project $name"
    rm -rf "$work/one" "$work/two"
done
[ "$count" -ge 13 ] || fail "only $count examples found"

echo "== plug-in modules and the header they write"
p="$(copy_example plugins plugin)"
run export "$p"
expect_rc 0 "export of the plug-in example"
python3 - "$work/out" <<'EOF' || fail "the plug-in module is not exported with its registers"
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
plugin = [m for m in doc["modules"] if m["header"] == "demo_driver.h" and m["registers"]]
assert len(plugin) == 1, [m["instance"] for m in plugin]
plugin = plugin[0]
assert plugin["selected"] is True
assert plugin["treePath"][0] == "Software Modules", plugin["treePath"]
texts = [r for r in plugin["registers"] if "text" in r["flags"]]
assert texts and all(isinstance(r["value"], str) and r["bits"] is None for r in texts), texts
numbers = [r for r in plugin["registers"] if "text" not in r["flags"]]
assert numbers and all(isinstance(r["value"], int) for r in numbers), numbers
EOF

echo "== user text with control characters and bytes that are not UTF-8"
p="$(copy_example K7Q5110-inverter odd)"
h="$(header_of "$p")"
# A user definition whose value and comment, and a register whose comment, hold a control
# character, a tab, DEL, an invalid byte, a good e-acute and a truncated euro sign.
odd='a\001b\tc\177d\377e\303\251f\342\202'
python3 - "$h" "$(printf "$odd")" <<'EOF'
import sys
path, odd = sys.argv[1], sys.argv[2].encode("utf-8", "surrogateescape")
text = open(path, "rb").read()
carrier = b"/* PWM_A carrier */"
assert carrier in text
text = text.replace(carrier, carrier + b"\n#define   ODD_TEXT  x" + odd + b"  /* " + odd + b" */", 1)
ctrl = b"#define PIT0_CTRL_INIT                    0x0033U"
assert ctrl in text
text = text.replace(ctrl, ctrl + b"  /* " + odd + b" */", 1)
open(path, "wb").write(text)
EOF
grep -q "ODD_TEXT" "$h" || fail "test set-up: the odd definition was not written"
run export "$p"
expect_rc 0 "export of odd user text"
expect_export "export of odd user text" K7Q5110EVK
# The valid parts read back as they were; each other byte as the character of its value.
python3 - "$work/out" "$(printf "$odd")" <<'EOF' || fail "odd user text did not read back"
import codecs, json, sys
codecs.register_error("bytevalue", lambda e: (e.object[e.start:e.end].decode("latin-1"), e.end))
raw = sys.argv[2].encode("utf-8", "surrogateescape")
expected = raw.decode("utf-8", "bytevalue")
assert expected == "a\x01b\tc\x7fd\xffe\u00e9f\xe2\x82", repr(expected)
data = open(sys.argv[1], "rb").read()
assert all(b >= 0x20 or b == 0x0A for b in data), "a raw control character"
assert b"\x7f" not in data and b"\xff" not in data
doc = json.loads(data.decode("utf-8"))
odd = [d for d in doc["userDefinitions"] if d["name"] == "ODD_TEXT"]
assert len(odd) == 1, doc["userDefinitions"]
assert odd[0]["comment"] == expected, repr(odd[0]["comment"])
assert odd[0]["value"].startswith("xa\x01b"), repr(odd[0]["value"])
pit = [m for m in doc["modules"] if m["instance"] == "PIT0"][0]
ctrl = [r for r in pit["registers"] if r["name"] == "PIT0_CTRL_INIT"][0]
assert ctrl["comment"] == expected, repr(ctrl["comment"])
assert ctrl["value"] == 0x33 and ctrl["text"] == "0x0033U", ctrl
EOF
run export "$p"
cp "$work/out" "$work/odd-first.json"
run export "$p"
cmp -s "$work/odd-first.json" "$work/out" || fail "export of odd user text differs between runs"

echo "== warnings and derived values"
p="$(copy_example K7Q3010-motor-drive warn)"
sed -i 's/^\(#define OCCS_DIVBY_INIT  *\)0x2013U/\10x203FU/' "$(header_of "$p")"
run export "$p"
expect_rc 0 "export with a warning"
python3 - "$work/out" <<'EOF' || fail "the warning or the derived value is missing"
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
occs = [m for m in doc["modules"] if m["instance"] == "OCCS"][0]
assert [w["message"] for w in occs["warnings"]] == [
    "PLL output frequency should be kept between 120 and 400 MHz on this device"], occs["warnings"]
vco = [d for d in occs["derivedValues"] if d["caption"] == "VCO freq."]
assert vco and vco[0]["text"] == "512 MHz", vco
EOF

echo "== broken, missing and unwritable"
b="$work/broken"
mkdir -p "$b"
printf '/* no processor here */\n#define FOO 1\n' >"$b/appconfig.h"
run check "$b/appconfig.h"
cp "$work/err" "$work/check-err"
run export "$b/appconfig.h"
expect_rc 2 "export of a broken header"
expect_no_stdout "export of a broken header"
cmp -s "$work/check-err" "$work/err" ||
    fail "export of a broken header: message differs from check: $(head -c 400 "$work/err")"
grep -q '^hwc: ' "$work/err" || fail "export of a broken header: no message"
expect_files "$b" "appconfig.h " "export of a broken header"

run export "$work/no-such-project"
expect_rc 2 "export of a missing project"
expect_no_stdout "export of a missing project"
grep -q "^hwc: File not found .*no-such-project" "$work/err" ||
    fail "export of a missing project: $(head -c 400 "$work/err")"

if [ -w /dev/full ]; then
    p="$(copy_example K7Q3010-motor-drive full)"
    rc=0
    "$batch" export "$p" >/dev/full 2>"$work/err" || rc=$?
    expect_rc 2 "export into a full disk"
    grep -q "^hwc: The export could not be written: " "$work/err" ||
        fail "export into a full disk: no message: $(head -c 400 "$work/err")"
fi

# A reader that stops early ends the program while it writes: the lock is gone before that.
p="$(copy_example K7Q5110-inverter pipe)"
"$batch" export "$p" 2>"$work/err" | head -c 100 >/dev/null || true
expect_files "$p/ApplicationConfig" "appconfig.h " "export into a pipe closed early"

for arguments in "export" "export --format=xml $p" "export --format $p" "export $p $p"; do
    # shellcheck disable=SC2086 # the words are the arguments
    run $arguments
    expect_rc 2 "'$arguments'"
    expect_no_stdout "'$arguments'"
done

finish "hwc-batch export tests passed"
