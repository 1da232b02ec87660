#!/usr/bin/env bash
# Command-line tests of hwc-batch import: settings copied between copies of the example projects
# (registers never imported stay, the source is left as it was), modules of another processor
# generation refused, any refusal saving nothing, the register choice, a project importing from
# itself, and the command lines refused.
# Usage: import_test.sh HWC_BATCH SOURCE_FOLDER
set -euo pipefail

source "$(dirname "$0")/batch_test_lib.sh" "$@"
unset SOURCE_DATE_EPOCH

# Standard error holds the line.
expect_line() {
    grep -qFx -- "$1" "$work/err" || fail "$2: no line '$1' in: $(head -c 600 "$work/err")"
}
# The value of a define in a header ("" when it is not there).
value_of() {
    sed -n "s/^#define $2  *\([^ ]*\).*/\1/p" "$1" | tr -d '\r'
}

# A plug-in beside the project, with a register that is never imported.
add_plugin() {
    mkdir -p "$1/ApplicationConfig/keeper.hwc"
    cat >"$1/ApplicationConfig/keeper.hwc/keeper.ini" <<'EOF'
[hwc_plugins]
plugin1=KEEPER

[KEEPER]
class=KEEPDRV
name=Keeper
treepath=Drivers\Keeper
registers=KEEPER_REGS

[KEEPER_REGS]
SERIAL=0x0001;DW16|NOIMPORT|NODEFAULT
LIMIT=0x0010;DW16|NODEFAULT
EOF
}

echo "== timer and plug-in settings into another copy"
src="$(copy_example K7Q5110-inverter src)"
dst="$(copy_example K7Q5110-inverter dst)"
add_plugin "$src"
add_plugin "$dst"
run set --save --answer=yes "$src" PIT0_CTRL_INIT=0x0031 PIT0_MOD_INIT=0x1234 \
    KEEPER_SERIAL=0x0AAA KEEPER_LIMIT=0x0033
expect_rc 0 "set on the source"
run set --save --answer=yes "$dst" KEEPER_SERIAL=0x0BBB
expect_rc 0 "set on the destination"
rm -f "$src/ApplicationConfig/appconfig.bak" "$dst/ApplicationConfig/appconfig.bak"
cp "$(header_of "$src")" "$work/source.h"

run import --save "$src" "$dst" PIT0 KEEPER
expect_rc 0 "import PIT0 KEEPER"
expect_line "hwc: Module PIT0 was successfully updated" "import PIT0 KEEPER"
expect_line "hwc: Module KEEPER was successfully updated" "import PIT0 KEEPER"
h="$(header_of "$dst")"
[ "$(value_of "$h" PIT0_CTRL_INIT)" = "0x0031U" ] || fail "PIT0_CTRL_INIT not imported"
[ "$(value_of "$h" PIT0_MOD_INIT)" = "0x1234U" ] || fail "PIT0_MOD_INIT not imported"
[ "$(value_of "$h" KEEPER_LIMIT)" = "0x0033U" ] || fail "KEEPER_LIMIT not imported"
[ "$(value_of "$h" KEEPER_SERIAL)" = "0x0BBBU" ] || fail "KEEPER_SERIAL (never imported) changed"
cmp -s "$work/source.h" "$(header_of "$src")" || fail "import changed the source header"
expect_files "$src/ApplicationConfig" "appconfig.h keeper.hwc " "the source after import"

echo "== only the registers named"
dst2="$(copy_example K7Q5110-inverter dst2)"
run import --save --registers=MOD_INIT "$src" "$dst2" PIT0
expect_rc 0 "--registers=MOD_INIT"
h="$(header_of "$dst2")"
[ "$(value_of "$h" PIT0_MOD_INIT)" = "0x1234U" ] || fail "--registers: MOD_INIT not imported"
[ "$(value_of "$h" PIT0_CTRL_INIT)" = "0x0033U" ] || fail "--registers: CTRL_INIT imported"
cp "$h" "$work/dst2.h"
run import --save --registers=PIT0_CTRL_INIT,NO_SUCH_INIT "$src" "$dst2" PIT0
expect_rc 1 "--registers with an unknown name"
expect_line "hwc: No register named NO_SUCH_INIT can be imported." "unknown register"
cmp -s "$work/dst2.h" "$h" || fail "a refused register choice changed the destination"

echo "== a project imports from itself"
run import --save "$dst2" "$dst2" PIT1=PIT0
expect_rc 0 "PIT1=PIT0 within one project"
h="$(header_of "$dst2")"
[ "$(value_of "$h" PIT1_MOD_INIT)" = "0x1234U" ] || fail "PIT1 did not take PIT0's period"
cp "$h" "$work/dst2.h"
run import --save "$dst2" "$dst2" PIT0
expect_rc 1 "a module from itself"
expect_line "hwc: Please select a valid source module!" "a module from itself"
cmp -s "$work/dst2.h" "$h" || fail "importing a module from itself changed the header"

echo "== refusals save nothing"
old="$(copy_example K7Q2020-power-supply old)"
new="$(copy_example K7Q2620-hvac-fan new)"
cp "$(header_of "$old")" "$work/old.h"
run import --save --answer=yes "$new" "$old" OCCS
expect_rc 1 "clock module of another generation"
expect_line "hwc: Please select a valid source module!" "clock module of another generation"
grep -q "(forbidden)" "$work/err" || fail "the clock module is not called forbidden"
cmp -s "$work/old.h" "$(header_of "$old")" || fail "a forbidden import changed the destination"
expect_files "$old/ApplicationConfig" "appconfig.h " "after a forbidden import"

# The first module imports, the second is missing: nothing is saved.
run import --save "$src" "$dst2" PIT0 NO_SUCH
expect_rc 1 "a missing destination module"
expect_line "hwc: Please select a valid destination module!" "a missing destination module"
cmp -s "$work/dst2.h" "$(header_of "$dst2")" || fail "a refused import saved the destination"

# Differently named registers: the default answer cancels the whole module.
inv="$(copy_example K7Q5110-inverter inv)"
cp "$(header_of "$inv")" "$work/inv.h"
run import --save "$new" "$inv" ADC_A
expect_rc 1 "differently named registers, cancelled"
grep -q "^hwc: The register names do not match!" "$work/err" || fail "no register-names question"
expect_line "hwc: The destination module was NOT changed!" "cancelled register names"
cmp -s "$work/inv.h" "$(header_of "$inv")" || fail "a cancelled import changed the destination"
run import --save --answer=no "$new" "$inv" ADC_A
expect_rc 0 "differently named registers left out"
expect_line "hwc: Module ADC_A was successfully updated" "register names answered no"

echo "== every module written in the source"
all="$(copy_example K7Q5110-inverter all)"
run import "$src" "$all"
expect_rc 0 "import without instances"
expect_line "hwc: Module PIT0 was successfully updated" "import without instances"
grep -q "KEEPER" "$work/err" && fail "a plug-in the destination lacks was imported"
cmp -s "$examples/K7Q5110-inverter/ApplicationConfig/appconfig.h" "$(header_of "$all")" ||
    fail "import without --save changed the destination"

echo "== command lines refused"
for case in "import" "import $src" "import --werror $src $all" "import --registers= $src $all" \
    "import --registers $src $all" "import --answer=maybe $src $all"; do
    read -ra words <<<"$case"
    run "${words[@]}"
    expect_rc 2 "'$case'"
done
run import "$work/none" "$all"
expect_rc 1 "a missing source project"
run --help
grep -q "^  import \[--save\]" "$work/out" || fail "the usage does not list import"

finish "all import checks passed"
