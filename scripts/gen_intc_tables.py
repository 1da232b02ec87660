#!/usr/bin/env python3
"""Writes src/modules/interrupts/CpmINTCTables.cpp, the interrupt vector tables.

The vector numbers of the peripherals come from the vector plans of scripts/gen_arch.py, so a
table names each vector after the peripheral that the architecture files give it to. The core
sources fill the numbers below a family's first peripheral vector; those that do not fit there
take free numbers at the end of the table. The output is checked in; run this script again
after changing a vector plan.

Usage: scripts/gen_intc_tables.py [--out FILE]      Standard library only.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # keep the scripts folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_arch  # noqa: E402

# Flag words (see CpmINTCTables.h).
FIXED_NAME, FIXED_LEVEL, NO_LEVEL = 0x1, 0x2, 0x4
HIDDEN = 0x8000
RESERVED = 0x8013
PERIPHERAL = 0xF0  # disabled or levels 0 to 2
CORE = 0x1D0       # disabled or levels 1 to 3
RESET = 0x103      # fixed routine, fixed level 3
USER_VECTOR = HIDDEN | NO_LEVEL

# The core sources in the order they take the lowest numbers.
CORE_SOURCES = [
    ("External and Power-On Reset", RESET), ("COP Reset", 0x102),
    ("Illegal Instruction", 0x102), ("Software Interrupt 3", 0x102),
    ("Hardware Stack Overflow", 0x102), ("Misaligned Long Word Access", 0x102),
    ("EOnCE Step Counter", CORE), ("EOnCE Breakpoint Unit", CORE), ("EOnCE Trace Buffer", CORE),
    ("EOnCE Transmit Register Empty", CORE), ("EOnCE Receive Register Full", CORE),
    ("Software Interrupt 2", 0x82), ("Software Interrupt 1", 0x42), ("Software Interrupt 0", 0x22),
    ("IRQA", PERIPHERAL), ("IRQB", PERIPHERAL), ("Low Voltage Detector", PERIPHERAL),
]
# The debug monitor's two vectors are the EOnCE transfer interrupts where the plan lists them.
EONCE_TRANSFER = ("EOnCE Transmit Register Empty", "EOnCE Receive Register Full")

# Vector names by peripheral kind (the plan name without its instance part).
VECTOR_NAMES = {
    "VMON": ["EOnCE Receive Register Full", "EOnCE Transmit Register Empty"],
    "OCCS": ["PLL Loss of Lock", "Loss of Reference Clock"],
    "CAN": ["Wake Up", "Error", "Receive", "Transmit"],
    "GPIO": ["Pin Interrupt"],
    "SCI": ["Transmitter Empty", "Transmitter Idle", "Receiver Error", "Receiver Full"],
    "SCI2": ["Transmitter Empty", "Receiver Full/Error"],
    "SPI": ["Receiver Full", "Transmitter Empty"],
    "I2C": ["Interrupt"],
    "ADC": ["Conversion Complete A", "Conversion Complete B", "Zero Crossing or Limit Error"],
    "ADC1": ["Conversion Complete"],
    "PWM": ["Reload", "Fault"],
    "PWMSUB": ["Compare", "Reload"],
    "QT": ["Channel"],
    "DEC": ["Home or Watchdog", "Index or Position"],
    "ENC": ["Home", "Index", "Watchdog", "Compare"],
    "CMP": ["Compare"],
    "PIT": ["Roll Over"],
    "COP": ["Interrupt"],
    "PMC": ["Low Voltage Detect"],
    "RTC": ["Counter"],
    "PDB": ["Delay"],
    "FTFL": ["Command Complete", "Read Collision"],
    "MCM": ["Bus Error"],
    "EWM": ["Interrupt"],
    "XBAR": ["Edge Detect"],
    "DMA": ["Channel 0", "Channel 1", "Channel 2", "Channel 3", "Error"],
}


def kind_of(name, count):
    base = name.rstrip("0123456789")
    if base.startswith("QT_"):
        return "QT"
    if base in ("YCAN", "LSCAN"):
        return "CAN"
    if base.startswith("GPIO"):
        return "GPIO"
    if base.startswith("SCI"):
        return "SCI" if count == 4 else "SCI2"
    if base.startswith("ADC"):
        return "ADC" if count == 3 else "ADC1"
    if base.startswith("PWM"):
        return "PWMSUB" if name[-1].isdigit() else "PWM"
    if base.startswith("HSCMP") or base.startswith("CMP"):
        return "CMP"
    if base.startswith("EDMA") or base.startswith("DMA"):
        return "DMA"
    for kind in VECTOR_NAMES:
        if base.rstrip("_").startswith(kind):
            return kind
    raise ValueError("no vector names for " + name)


def display_name(name):
    return name.replace("_", " ")


def vector_description(name, index, count):
    kind = kind_of(name, count)
    names = VECTOR_NAMES[kind]
    if kind == "VMON":
        return names[index], CORE
    return "%s %s" % (display_name(name), names[index]), PERIPHERAL


def build_table(plan, family):
    """[(description without number, flags)] for every source of the plan."""
    table = [None] * plan.sources
    for name, vectors in plan.vectors.items():
        for index, vector in enumerate(vectors):
            table[vector] = vector_description(name, index, len(vectors))
    first = min(v for vectors in plan.vectors.values() for v in vectors)
    core = list(CORE_SOURCES)
    if "VMON" in plan.vectors:
        core = [entry for entry in core if entry[0] not in EONCE_TRANSFER]
    low, rest = core[:first], core[first:]
    for number, entry in enumerate(low):
        table[number] = entry
    if family == "FamA":
        # The numbers the plan skips are core sources (no user vector may take them); the six
        # user vectors take the last numbers.
        free = [n for n in range(plan.sources) if table[n] is None]
        users = free[-6:]
        assert users == list(range(plan.sources - 6, plan.sources)), users
        for k, number in enumerate(users):
            table[number] = ("User Vector %d" % (k + 1), USER_VECTOR)
        skipped = [n for n in free if n not in users]
        for number, entry in zip(skipped, rest):
            table[number] = entry
        rest = []
    else:
        free = [n for n in range(plan.sources) if table[n] is None]
        for number, entry in zip(reversed(free), reversed(rest[:len(free)])):
            table[number] = entry
    for number in range(plan.sources):
        if table[number] is None:
            table[number] = ("Reserved", RESERVED)
    if family == "FamA":
        # No priority levels: every source runs at its fixed level.
        table = [(text, flags if flags & HIDDEN else (flags & FIXED_NAME) | NO_LEVEL)
                 for text, flags in table]
    return table


# Variant name -> (plan, family used for layout rules).
VARIANTS = [
    ("FamG", gen_arch.FAMG_PLAN, "FamG"),
    ("Entry5", gen_arch.FAMH_PLAN_5, "FamH"),
    ("Entry6", gen_arch.FAMH_PLAN_6, "FamH"),
    ("FamK", gen_arch.FAMK_PLAN, "FamK"),
    ("FamK102", gen_arch.FAMK_PLAN_102, "FamK"),
    ("Flag97", gen_arch.FAMJ_PLAN, "FamJ"),
    ("FamB", gen_arch.FAMB_PLAN, "FamB"),
    ("FamC", gen_arch.FAMC_PLAN, "FamC"),
    ("FamE", gen_arch.NEW_PLANS["FamE"], "FamE"),
    ("FamF", gen_arch.NEW_PLANS["FamF"], "FamF"),
    ("FamD", gen_arch.NEW_PLANS["FamD"], "FamD"),
    ("FamA", gen_arch.FAMA_PLAN, "FamA"),
]


def variant_of(chip):
    """The table variant (name, plan, family) the controller uses on a processor."""
    plan = gen_arch.plan_of(chip)
    for variant in VARIANTS:
        if variant[1] is plan:
            return variant
    raise ValueError("no vector table for " + chip.name)


def source_flags(chip):
    """The flag word of every source on the processor, its reserved sources included."""
    _, plan, family = variant_of(chip)
    flags = [f for _, f in build_table(plan, family)]
    reserved = []
    if chip.family == "FamC" and chip.group("G107"):
        reserved = [v for n in range(4) for v in plan.of("QT_B%d" % n)]
    elif 34 <= chip.entry <= 74:
        reserved = hidden_of(chip.name)[1]
    for source in reserved:
        flags[source] = RESERVED
    return flags


def hidden_of(name):
    entry = dict((n, e) for e, n in gen_arch.PROCESSORS)[name]
    chip = gen_arch.make_chip(entry, name)
    roots = gen_arch.TEMPLATES[chip.family](chip)
    return entry, gen_arch.hidden_sources(gen_arch.plan_of(chip), roots)


def c_string(text):
    assert '"' not in text and "\\" not in text
    return '"%s"' % text


def render():
    out = []
    out.append("// Generated by scripts/gen_intc_tables.py from the vector plans of "
               "scripts/gen_arch.py; do not edit.\n")
    out.append('#include "modules/interrupts/CpmINTCTables.h"\n')
    out.append("#include <array>\n")
    out.append("namespace hwc {\n")
    out.append("namespace {\n")
    for variant, plan, family in VARIANTS:
        table = build_table(plan, family)
        out.append("constexpr std::array<tVectorEntry, %d> k%s = {{" % (len(table), variant))
        for number, (text, flags) in enumerate(table):
            out.append("    {%s, 0x%04X}," % (c_string("%d. %s" % (number, text)), flags))
        out.append("}};\n")
    # Processors of FamC group 107 lack the second timer: its four vectors are reserved.
    famc_107 = None
    for entry in range(27, 30):
        name = dict(gen_arch.PROCESSORS)[entry]
        hidden = set(hidden_of(name)[1])
        famc_107 = hidden if famc_107 is None else famc_107 & hidden
    qt_b = [v for n in range(4) for v in gen_arch.FAMC_PLAN.of("QT_B%d" % n)]
    assert set(qt_b) <= famc_107, (qt_b, famc_107)
    out.append("constexpr std::array<std::uint8_t, 4> kFamC107Reserved = {%s};\n" %
               ", ".join(str(v) for v in qt_b))
    # Single processors of FamE and FamF: the vectors of the peripherals they lack are reserved.
    rules = []
    for entry, name in gen_arch.PROCESSORS:
        if not 34 <= entry <= 74:
            continue
        hidden = hidden_of(name)[1]
        if hidden:
            out.append("constexpr std::array<std::uint8_t, %d> kReserved%d = {%s};" % (
                len(hidden), entry, ", ".join(str(v) for v in hidden)))
            rules.append(entry)
    out.append("")
    out.append("constexpr std::array<tReservedSources, %d> kReservedByProcessor = {{" % len(rules))
    for entry in rules:
        out.append("    {%d, kReserved%d}," % (entry, entry))
    out.append("}};\n")
    out.append("} // namespace\n")
    out.append("std::span<const tVectorEntry> VectorTable(EVectorTable table) {")
    out.append("    switch (table) {")
    for variant, _, _ in VARIANTS:
        out.append("    case EVectorTable::%s:" % variant)
        out.append("        return k%s;" % variant)
    out.append("    }")
    out.append("    return {};")
    out.append("}\n")
    out.append("std::span<const std::uint8_t> FamC107ReservedSources() {")
    out.append("    return kFamC107Reserved;")
    out.append("}\n")
    out.append("std::span<const tReservedSources> ReservedSourcesByProcessor() {")
    out.append("    return kReservedByProcessor;")
    out.append("}\n")
    out.append("} // namespace hwc")
    return "\n".join(out) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(
        here, "..", "src", "modules", "interrupts", "CpmINTCTables.cpp"))
    args = parser.parse_args()
    with open(args.out, "w", newline="\n") as out:
        out.write(render())
    print("wrote %s" % os.path.normpath(args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
