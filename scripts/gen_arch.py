#!/usr/bin/env python3
"""Writes the architecture configuration files data/arch/<processor>.cfg.

One file per processor name of the processor table. Each family has a template (a function
that builds the module tree of one processor from the processor's features); the per-processor
differences (packages, peripheral counts) are in the tables next to each template. Interrupt
vectors are planned per family, so every processor of a family uses the same vector for the
same peripheral, and the vectors of peripherals a processor lacks are hidden in its interrupt
controller.

Usage: scripts/gen_arch.py [--out DIR]      (default: data/arch beside this script's parent)
Standard library only.
"""

import argparse
import os
import sys

# ---------------------------------------------------------------------------------------------
# The processor table: (entry number, processor name). Entry 86 is the evaluation-board row,
# whose processor name is K7Q5110.

PROCESSORS = [
    (0, "K7Q1010"), (1, "K7Q1020"), (2, "K7Q1030"), (3, "K7Q1040"), (4, "K7Q1050"),
    (5, "K7Q2010"), (6, "K7Q2020"),
    (7, "K7Q2110"), (8, "K7Q2120"), (9, "K7Q2130"), (10, "K7Q2140"), (11, "K7Q2150"),
    (12, "K7Q2160"), (13, "K7Q2170"), (14, "K7Q2180"), (15, "K7Q2190"),
    (16, "K7Q2200L"), (17, "K7Q2200"), (18, "K7Q2200H"),
    (19, "K7Q2310"), (20, "K7Q2320"), (21, "K7Q2330"), (22, "K7Q2340"),
    (23, "K7Q2410"), (24, "K7Q2420"), (25, "K7Q2430"), (26, "K7Q2440"),
    (27, "K7Q2510"), (28, "K7Q2520"), (29, "K7Q2530"),
    (30, "K7Q2610"), (31, "K7Q2620"), (32, "K7Q2630"), (33, "K7Q2640"),
    (34, "K7Q3010"), (35, "K7Q3020"), (36, "K7Q3030"), (37, "K7Q3040"), (38, "K7Q3050"),
    (39, "K7Q3110"), (40, "K7Q3120"),
    (41, "K7Q3210"), (42, "K7Q3220"), (43, "K7Q3230"), (44, "K7Q3240"), (45, "K7Q3250"),
    (46, "K7Q3260"),
    (47, "K7Q3310"), (48, "K7Q3320"), (49, "K7Q3330"), (50, "K7Q3340"), (51, "K7Q3350"),
    (52, "K7Q3360"), (53, "K7Q3370"),
    (54, "K7Q4010"), (55, "K7Q4020"),
    (56, "K7Q4110"), (57, "K7Q4120"), (58, "K7Q4130"), (59, "K7Q4140"), (60, "K7Q4150"),
    (61, "K7Q4210"), (62, "K7Q4220"), (63, "K7Q4230"), (64, "K7Q4240"), (65, "K7Q4250"),
    (66, "K7Q4260"), (67, "K7Q4270"), (68, "K7Q4280"), (69, "K7Q4290"), (70, "K7Q4300"),
    (71, "K7Q4310"), (72, "K7Q4320"), (73, "K7Q4330"), (74, "K7Q4340"), (75, "K7Q4350"),
    (76, "K7Q4360"), (77, "K7Q4370"), (78, "K7Q4380"), (79, "K7Q4390"), (80, "K7Q4400"),
    (81, "K7Q5010"), (82, "K7Q5020"), (83, "K7Q5030"), (84, "K7Q5040"), (85, "K7Q5050"),
    (86, "K7Q5110"), (87, "K7Q5120"), (88, "K7Q5130"), (89, "K7Q5140"), (90, "K7Q5150"),
    (91, "K7Q5160"), (92, "K7Q5170"), (93, "K7Q5180"),
    (104, "K7Q0810"), (105, "K7Q0820"),
]

# Group entries of the processor table that the templates test: entry -> inclusive range.
GROUPS = {
    "FamG": (0, 4), "FamH": (5, 33), "FamJ": (19, 26), "G97": (19, 22), "FamB": (23, 26),
    "G99": (25, 26), "FamK": (7, 18), "G102": (16, 18), "FamA": (104, 105), "FamC": (27, 33),
    "G107": (27, 29), "G108": (30, 33), "FamE": (34, 53), "G110": (34, 38), "G111": (41, 46),
    "G112": (47, 53), "FamF": (54, 80), "G114": (54, 55), "G115": (61, 80), "FamD": (81, 93),
    "G117": (81, 85), "G118": (86, 93),
}


def in_group(entry, group):
    low, high = GROUPS[group]
    return low <= entry <= high


def family_of(entry):
    """The template family of a processor table entry (the smallest named family)."""
    for family in ("FamG", "FamK", "FamB", "FamC", "FamE", "FamF", "FamD", "FamA"):
        if in_group(entry, family):
            return family
    if in_group(entry, "G97"):
        return "FamJ"
    if in_group(entry, "FamH"):
        return "FamH"
    raise ValueError("no family for entry %d" % entry)


# ---------------------------------------------------------------------------------------------
# Tree model and output.


class Node:
    """One entry of the tree list: a module or a folder, with its children and module info."""

    def __init__(self, name, key, related="NONE", ints=(), desc="", help_ref="", children=(),
                 info=()):
        self.name = name
        self.key = key
        self.related = related
        self.ints = list(ints)
        self.desc = desc
        self.help_ref = help_ref
        self.children = [child for child in children if child is not None]
        self.info = list(info)

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()


def folder(name, children, desc=""):
    """A folder node; folders without children are left out."""
    children = [child for child in children if child is not None]
    if not children:
        return None
    return Node(name, "VOID", desc=desc, children=children)


def check_token_text(text):
    # Quoted texts keep blanks and comment characters but must not hold their own quote; an
    # apostrophe would open a second quote kind in unquoted neighbours, so it is refused too.
    assert '"' not in text and "'" not in text and "\n" not in text, text


def interrupt_token(vectors):
    return "INT:%s:" % ",".join(str(v) for v in vectors) if vectors else "0"


def entry_line(node, indent, widths):
    fields = [node.name, node.key, node.related, interrupt_token(node.ints)]
    if node.desc or node.help_ref:
        check_token_text(node.desc)
        fields.append('"%s"' % node.desc)
    if node.help_ref:
        check_token_text(node.help_ref)
        fields.append('"%s"' % node.help_ref)
    padded = [field.ljust(width) for field, width in zip(fields[:-1], widths)]
    return (" " * indent + "  ".join(padded + [fields[-1]])).rstrip()


def render(chip, roots):
    family = chip.family
    subgroups = [g for g in GROUPS if g.startswith("G") and in_group(chip.entry, g)]
    membership = family + ("" if not subgroups else " (group %s)" % ", ".join(
        g[1:] for g in subgroups))
    all_nodes = [node for root in roots for node in root.walk()]
    widths = [max(len(n.name) for n in all_nodes) + 8, max(len(n.key) for n in all_nodes),
              max(len(n.related) for n in all_nodes),
              max(len(interrupt_token(n.ints)) for n in all_nodes),
              max(len(n.desc) + 2 for n in all_nodes)]
    out = []
    out.append("# Architecture configuration of the %s, processor table entry %d, %s."
               % (chip.name, chip.entry, membership))
    out.append("# Package: %s. Module tree first, then the per-module information (reset"
               % chip.package)
    out.append("# values, pin functions, routing tables) that the modules read when they bind.")
    out.append("# Written by scripts/gen_arch.py; change the generator and run it again instead")
    out.append("# of editing this file.")
    out.append("")
    out.append(".BEGIN_TREE_LIST")
    out.append("")
    out.extend(tree_lines_aligned(roots, widths))
    out.append("")
    out.append(".END_TREE_LIST")
    out.append("")
    out.append(".BEGIN_MODULE_INFO")
    for node in all_nodes:
        if not node.info:
            continue
        for line in node.info:
            assert "{" not in line and "}" not in line, line
        out.append("")
        out.append(node.name)
        out.append("{")
        out.extend("    " + line for line in node.info)
        out.append("}")
    out.append("")
    out.append(".END_MODULE_INFO")
    return "\n".join(out) + "\n"


def tree_lines_aligned(roots, widths):
    """Entry lines in columns; nested entries are indented, so their first column is narrower."""
    lines = []

    def emit(nodes, indent):
        for node in nodes:
            first = [widths[0] - indent] + widths[1:]
            lines.append(entry_line(node, indent, first))
            if node.children:
                lines.append(" " * indent + "{")
                emit(node.children, indent + 4)
                lines.append(" " * indent + "}")

    emit(roots, 0)
    return lines


# ---------------------------------------------------------------------------------------------
# Interrupt vector plans. Each family lists its peripherals in vector order with the number of
# vectors each one uses; the plan hands out consecutive numbers from the family's first
# peripheral vector and skips the numbers the family keeps for other purposes.


class VectorPlan:
    def __init__(self, first, sources, layout, skip=()):
        self.sources = sources
        self.vectors = {}
        number = first
        for name, count in layout:
            numbers = []
            for _ in range(count):
                while number in skip:
                    number += 1
                numbers.append(number)
                number += 1
            self.vectors[name] = numbers
        assert number <= sources, "vector plan overflows the table (%d > %d)" % (number, sources)

    def of(self, name):
        return self.vectors[name]


def hidden_sources(plan, roots):
    """Vectors of the family's plan that no module of this processor uses."""
    used = set()
    for root in roots:
        for node in root.walk():
            used.update(node.ints)
            if node.key == "DMA":
                used.update(dma_vectors(node))
    planned = set(v for vectors in plan.vectors.values() for v in vectors)
    return sorted(planned - used)


# ---------------------------------------------------------------------------------------------
# GPIO pin descriptions. A port table lists, per pin, the pin's peripheral functions as
# "OWNER.NAME" (several owners joined by "|"); a leading "*" marks the function the pin carries
# out of reset. On families whose pin multiplexing sits in the system module, every function
# after the first of a pin is selected by a peripheral-select bit of the system module; the bits
# are numbered over the family's full table so that every package uses the same bits.


def assign_select_bits(ports):
    bits = {}
    number = 0
    for port in sorted(ports):
        for pin, functions in enumerate(ports[port]):
            for index in range(1, len(functions)):
                bits[(port, pin, index)] = number
                number += 1
    return bits, number


def gpio_info(port, pins, table, present, select_bits, extra_keys=()):
    """Module-info lines of one port: reset values, then one line per existing pin."""
    lines = []
    per = pur = 0
    pin_lines = []
    for pin in range(pins):
        functions = table[port][pin] if pin < len(table[port]) else []
        items = []
        for index, function in enumerate(functions):
            reset = function.startswith("*")
            owners, name = function.lstrip("*").split(".", 1)
            owners = [o for o in owners.split("|") if o in present]
            if not owners:
                continue
            if reset and index == 0:
                per |= 1 << pin
            selector = ""
            if select_bits is not None and index > 0:
                selector = "GPS%d:" % select_bits[(port, pin, index)]
            items.append("%s%s.%s" % (selector, "|".join(owners), name))
        pur |= 1 << pin
        pin_lines.append(", ".join([str(pin)] + items))
    lines.append("PER=0x%04X" % per)
    lines.append("PUR=0x%04X" % pur)
    for key, value in extra_keys:
        lines.append("%s=%s" % (key, value(pur) if callable(value) else value))
    return lines + pin_lines


def gpio_ports(chip, table, present, related, help_ref, plan=None, select_bits=None,
               extra_keys=()):
    nodes = []
    for port in sorted(chip.pins):
        name = "GPIO_" + port
        ints = plan.of(name) if plan and name in plan.vectors else []
        nodes.append(Node(name, "GPIO", related, ints, "Port %s, %d pins" % (port, chip.pins[port]),
                          help_ref + "#GPIO",
                          info=gpio_info(port, chip.pins[port], table, present, select_bits,
                                         extra_keys)))
    return nodes


# ---------------------------------------------------------------------------------------------
# Processor features. Each processor gets its package, its GPIO ports with their pin counts and
# the optional modules it carries; every template adds the modules all members of its family
# have.


class Chip:
    def __init__(self, entry, name, package, pins, features):
        self.entry = entry
        self.name = name
        self.family = family_of(entry)
        self.package = package
        self.pins = pins
        self.features = set(features.split())

    def has(self, feature):
        return feature in self.features

    def group(self, group):
        return in_group(self.entry, group)


def pins(layout):
    """'A8 B8 C6' -> {'A': 8, 'B': 8, 'C': 6}"""
    return {item[0]: int(item[1:]) for item in layout.split()}


FEATURES = {
    # FamG
    "K7Q1010": ("32-pin LQFP", "A8 B8 C4", "VMON TRL"),
    "K7Q1020": ("44-pin LQFP", "A8 B8 C8 D4", "SCI_1 DEC_0 VMON TRL"),
    "K7Q1030": ("64-pin LQFP", "A8 B8 C8 D8", "SCI_1 DEC_0 LSCAN QT_B IRQB VMON TRL"),
    "K7Q1040": ("100-pin LQFP", "A8 B8 C8 D8 E12 F16",
                "SCI_1 DEC_0 DEC_1 LSCAN QT_B PWM_B ADC_B SEMI IRQB VMON TRL"),
    "K7Q1050": ("128-pin LQFP", "A8 B8 C8 D8 E12 F16",
                "SCI_1 DEC_0 DEC_1 LSCAN QT_B PWM_B ADC_B SEMI TSN IRQB VMON TRL"),
    # FamH outside FamJ and FamK
    "K7Q2010": ("48-pin LQFP", "A8 B8 C8 D6", "SCI_1 DEC_0 QT_B TSN VMON TRL"),
    "K7Q2020": ("80-pin LQFP", "A8 B8 C8 D8 E8",
                "SCI_1 SPI_1 DEC_0 DEC_1 QT_B QT_C QT_D PWM_B ADC_B TSN IRQB VMON TRL"),
    # FamK
    "K7Q2110": ("48-pin LQFP", "A8 B8 C8 D6", "DEC_0 VMON"),
    "K7Q2120": ("48-pin LQFP", "A8 B8 C8 D6", "SCI_1 DEC_0 VMON"),
    "K7Q2130": ("64-pin LQFP", "A8 B8 C8 D8 E8", "SCI_1 DEC_0 QT_B ADC_B IRQB VMON"),
    "K7Q2140": ("64-pin LQFP", "A8 B8 C8 D8 E8", "SCI_1 DEC_0 QT_B ADC_B IRQB VMON"),
    "K7Q2150": ("80-pin LQFP", "A8 B8 C8 D8 E8", "SCI_1 DEC_0 QT_B ADC_B TSN IRQB VMON"),
    "K7Q2160": ("100-pin LQFP", "A8 B8 C8 D8 E8 F16",
                "SCI_1 SPI_1 DEC_0 DEC_1 QT_B QT_C QT_D PWM_B ADC_B IRQB VMON"),
    "K7Q2170": ("100-pin LQFP", "A8 B8 C8 D8 E8 F16",
                "SCI_1 SPI_1 DEC_0 DEC_1 QT_B QT_C QT_D PWM_B ADC_B TSN IRQB VMON"),
    "K7Q2180": ("128-pin LQFP", "A8 B8 C8 D8 E8 F16",
                "SCI_1 SPI_1 DEC_0 DEC_1 QT_B QT_C QT_D PWM_B ADC_B TSN IRQB VMON"),
    "K7Q2190": ("128-pin LQFP", "A8 B8 C8 D8 E8 F16",
                "SCI_1 SPI_1 DEC_0 DEC_1 QT_B QT_C QT_D PWM_B ADC_B TSN IRQB VMON"),
    "K7Q2200L": ("128-pin LQFP", "A8 B8 C8 D8 E8 F16",
                 "SCI_1 SPI_1 DEC_0 DEC_1 QT_B QT_C QT_D PWM_B ADC_B YCAN2 IRQB VMON"),
    "K7Q2200": ("144-pin LQFP", "A8 B8 C8 D8 E8 F16",
                "SCI_1 SPI_1 DEC_0 DEC_1 QT_B QT_C QT_D PWM_B ADC_B YCAN2 TSN SEMI IRQB VMON"),
    "K7Q2200H": ("160-pin BGA", "A8 B8 C8 D8 E8 F16",
                 "SCI_1 SPI_1 DEC_0 DEC_1 QT_B QT_C QT_D PWM_B ADC_B YCAN2 TSN SEMI IRQB "
                 "VMON"),
    # FamJ outside FamB (group 97)
    "K7Q2310": ("28-pin SOIC", "A6 B8 C4", "VMON"),
    "K7Q2320": ("32-pin LQFP", "A8 B8 C6", "CMP_B VMON"),
    "K7Q2330": ("44-pin LQFP", "A8 B8 C8 D4", "CMP_B PIT1 VMON"),
    "K7Q2340": ("48-pin LQFP", "A8 B8 C8 D6", "CMP_B PIT1 VMON"),
    # FamB
    "K7Q2410": ("32-pin LQFP", "A8 B8 C6 D4", "VMON"),
    "K7Q2420": ("48-pin LQFP", "A8 B8 C8 D6 E4", "SCI_1 CMP_C DAC_1 PIT2 VMON"),
    "K7Q2430": ("64-pin LQFP", "A8 B8 C8 D8 E8 F8",
                "SCI_1 SPI_1 CMP_C DAC_1 PIT2 LSCAN VMON"),
    "K7Q2440": ("80-pin LQFP", "A8 B8 C8 D8 E8 F16",
                "SCI_1 SPI_1 CMP_C DAC_1 PIT2 LSCAN VMON"),
    # FamC
    "K7Q2510": ("32-pin LQFP", "A8 B6 C8 D4", "VREF_A VMON"),
    "K7Q2520": ("44-pin LQFP", "A8 B8 C8 D5", "VREF_A VMON"),
    "K7Q2530": ("48-pin LQFP", "A8 B8 C8 D5 E4", "VREF_A VMON"),
    "K7Q2610": ("48-pin LQFP", "A8 B8 C8 D5 E4", "LSCAN QT_B HSCMP_C VREF_A VREF_B VMON"),
    "K7Q2620": ("64-pin LQFP", "A8 B8 C8 D5 E8",
                "LSCAN QT_B HSCMP_C SPI_1 VREF_A VREF_B VMON"),
    "K7Q2630": ("64-pin LQFP", "A8 B8 C8 D5 E8 F6",
                "LSCAN QT_B HSCMP_C SPI_1 VREF_A VREF_B VMON"),
    "K7Q2640": ("80-pin LQFP", "A8 B8 C8 D5 E8 F8",
                "LSCAN QT_B HSCMP_C SPI_1 VREF_A VREF_B VMON"),
    # FamE
    "K7Q3010": ("32-pin LQFP", "A8 B4 C12 D5 E8", "VMON"),
    "K7Q3020": ("32-pin LQFP", "A8 B4 C12 D5 E8", "QT_B VMON"),
    "K7Q3030": ("48-pin LQFP", "A8 B8 C14 D5 E8 F4", "SCI_1 QT_B HSCMP_D VMON"),
    "K7Q3040": ("48-pin LQFP", "A8 B8 C14 D5 E8 F4", "SCI_1 QT_B HSCMP_D PDB_1 VMON"),
    "K7Q3050": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 VMON"),
    "K7Q3110": ("100-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 SCI_2 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 YCAN ENC ADC16 DMA VMON"),
    "K7Q3120": ("100-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 SCI_2 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 YCAN ENC ADC16 DMA VMON"),
    "K7Q3210": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 SCI_2 QT_B HSCMP_D PDB_1 SPI_1 ENC ADC16 DMA VMON"),
    "K7Q3220": ("80-pin LQFP", "A8 B8 C16 D5 E8 F9 G6",
                "SCI_1 SCI_2 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 YCAN ENC ADC16 DMA VMON"),
    "K7Q3230": ("48-pin LQFP", "A8 B8 C14 D5 E8 F4", "SCI_1 QT_B HSCMP_D PDB_1 DMA VMON"),
    "K7Q3240": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9", "SCI_1 QT_B HSCMP_D PDB_1 SPI_1 DMA VMON"),
    "K7Q3250": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_D PDB_1 SPI_1 YCAN DMA VMON"),
    "K7Q3260": ("80-pin LQFP", "A8 B8 C16 D5 E8 F9 G6",
                "SCI_1 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 YCAN ENC DMA VMON"),
    "K7Q3310": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 SCI_2 QT_B HSCMP_D PDB_1 SPI_1 ADC16 DMA VMON"),
    "K7Q3320": ("80-pin LQFP", "A8 B8 C16 D5 E8 F9 G6",
                "SCI_1 SCI_2 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 YCAN ENC ADC16 DMA VMON"),
    "K7Q3330": ("100-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 SCI_2 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 YCAN ENC ADC16 DMA VMON"),
    "K7Q3340": ("48-pin LQFP", "A8 B8 C14 D5 E8 F4", "SCI_1 QT_B HSCMP_D PDB_1 ADC16 DMA VMON"),
    "K7Q3350": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_D PDB_1 SPI_1 ADC16 DMA VMON"),
    "K7Q3360": ("80-pin LQFP", "A8 B8 C16 D5 E8 F9 G6",
                "SCI_1 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 YCAN ADC16 DMA VMON"),
    "K7Q3370": ("100-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 QT_B HSCMP_D PDB_1 SPI_1 I2C_1 YCAN ENC ADC16 DMA VMON"),
    # FamF
    "K7Q4010": ("32-pin QFN", "A8 B4 C12 D5 E6", "VMON"),
    "K7Q4020": ("32-pin LQFP", "A8 B4 C12 D5 E6", "DMA VMON"),
    "K7Q4110": ("48-pin LQFP", "A8 B8 C14 D5 E8 F4", "SCI_1 QT_B HSCMP_C DMA VMON"),
    "K7Q4120": ("48-pin LQFP", "A8 B8 C14 D5 E8 F4", "SCI_1 QT_B HSCMP_C DAC_B DMA VMON"),
    "K7Q4130": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_C HSCMP_D DAC_B DMA VMON"),
    "K7Q4140": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 DMA VMON"),
    "K7Q4150": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 LSCAN DMA VMON"),
}

# FamF group 115 and FamD come in a regular ladder of packages; their features are built here.
for _index, (_entry, _name) in enumerate(p for p in PROCESSORS if 61 <= p[0] <= 80):
    _big = _index % 10 >= 5
    _features = "SCI_1 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 DMA VMON"
    if _index >= 10:
        _features += " LSCAN"
    if _big:
        FEATURES[_name] = ("100-pin LQFP" if _index % 5 >= 3 else "80-pin LQFP",
                           "A8 B8 C16 D5 E8 F9 G12" if _index % 5 >= 3 else
                           "A8 B8 C16 D5 E8 F9 G6", _features)
    else:
        FEATURES[_name] = ("64-pin LQFP", "A8 B8 C16 D5 E8 F9", _features)

FEATURES.update({
    # FamD, group 117
    "K7Q5010": ("48-pin LQFP", "A8 B8 C14 D5 E8 F4", "SCI_1 QT_B HSCMP_C VMON"),
    "K7Q5020": ("48-pin LQFP", "A8 B8 C14 D5 E8 F4", "SCI_1 QT_B HSCMP_C DAC_B VMON"),
    "K7Q5030": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 ENC VMON"),
    "K7Q5040": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 ENC YCAN VMON"),
    "K7Q5050": ("80-pin LQFP", "A8 B8 C16 D5 E8 F9 G6",
                "SCI_1 SCI_2 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 ENC YCAN VMON"),
    # FamD, group 118
    "K7Q5110": ("100-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 SCI_2 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 ENC YCAN PWM_B CAN32 "
                "FLASH512 VMON"),
    "K7Q5120": ("64-pin LQFP", "A8 B8 C16 D5 E8 F9",
                "SCI_1 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 ENC YCAN PWM_B VMON"),
    "K7Q5130": ("80-pin LQFP", "A8 B8 C16 D5 E8 F9 G6",
                "SCI_1 SCI_2 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 ENC YCAN PWM_B VMON"),
    "K7Q5140": ("80-pin LQFP", "A8 B8 C16 D5 E8 F9 G6",
                "SCI_1 SCI_2 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 ENC YCAN PWM_B CAN32 VMON"),
    "K7Q5150": ("100-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 SCI_2 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 ENC YCAN PWM_B CAN32 VMON"),
    "K7Q5160": ("100-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 SCI_2 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 ENC YCAN PWM_B CAN32 "
                "FLASH512 VMON"),
    "K7Q5170": ("100-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 SCI_2 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 ENC YCAN PWM_B CAN32 "
                "FLASH512 VMON"),
    "K7Q5180": ("144-pin LQFP", "A8 B8 C16 D5 E8 F9 G12",
                "SCI_1 SCI_2 QT_B HSCMP_C HSCMP_D DAC_B SPI_1 I2C_1 ENC YCAN PWM_B CAN32 "
                "FLASH512 VMON"),
    # FamA
    "K7Q0810": ("32-pin LQFP", "A8 B8 C4 D6 F4", "VMON"),
    "K7Q0820": ("64-pin LQFP", "A8 B8 C8 D8 E6 F4", "SCI_1 ADC_1 PGA_1 HSCMP_2 VMON"),
})


def make_chip(entry, name):
    package, pin_layout, features = FEATURES[name]
    return Chip(entry, name, package, pins(pin_layout), features)


# ---------------------------------------------------------------------------------------------
# Shared pieces of the templates.

MANUALS = {"FamG": "K7Q1000RM.pdf", "FamH": "K7Q2000RM.pdf", "FamK": "K7Q2100RM.pdf",
           "FamJ": "K7Q2300RM.pdf", "FamB": "K7Q2400RM.pdf", "FamC": "K7Q2500RM.pdf",
           "FamE": "K7Q3000RM.pdf", "FamF": "K7Q4000RM.pdf", "FamD": "K7Q5000RM.pdf",
           "FamA": "K7Q0800RM.pdf"}


class Builder:
    """Helpers bound to one processor: help references, vectors, presence of modules."""

    def __init__(self, chip, plan):
        self.chip = chip
        self.plan = plan
        self.manual = MANUALS[chip.family]

    def node(self, name, key, related, desc, chapter, vectors=None, children=(), info=()):
        ints = self.plan.of(name) if vectors is None and name in self.plan.vectors else (
            vectors or [])
        return Node(name, key, related, ints, desc, "%s#%s" % (self.manual, chapter), children,
                    info)

    def timer(self, letter, count=4, related="OCCS"):
        name = "QT_" + letter
        channels = [self.node("%s%d" % (name, n), "QT", name, "Timer %s channel %d" % (letter, n),
                              "TMR") for n in range(count)]
        return Node(name, "QTALL", related, [], "!Quad Timer %s!Four timer channels" % letter,
                    "%s#TMR" % self.manual, channels)


def present_names(roots):
    return {node.name for root in roots for node in root.walk()}


def add_gpio(builder, roots, table, related, select_bits=None, extra_keys=()):
    """Fills the Ports folder (the last root named Ports) once all other modules are known."""
    present = present_names(roots)
    ports = gpio_ports(builder.chip, table, present, related, builder.manual, builder.plan,
                       select_bits, extra_keys)
    for root in roots:
        if root.name == "Ports":
            root.children = ports
    return roots


def intc_node(builder, name, info):
    return builder.node(name, "INTC", "NONE", "Interrupt controller", "INTC", vectors=[],
                        info=info)


def finish_intc(roots, plan, intc_name, extra_info=()):
    hidden = hidden_sources(plan, roots)
    for root in roots:
        for node in root.walk():
            if node.name == intc_name:
                info = list(extra_info)
                if hidden:
                    info.insert(0, "DISSRC=" + ",".join(str(v) for v in hidden))
                node.info = info
    return roots


# ---------------------------------------------------------------------------------------------
# FamG: the first family. Clock generation with the watchdog on its page, first system module,
# interrupt controller ITCN, older PWM, cyclic ADC, decoders, older CAN.

FAMG_PLAN = VectorPlan(16, 64, [
    ("OCCS", 1), ("LSCAN", 4), ("GPIO_A", 1), ("GPIO_B", 1), ("GPIO_C", 1), ("GPIO_D", 1),
    ("GPIO_E", 1), ("GPIO_F", 1), ("ADC_A", 3), ("ADC_B", 3), ("PWM_A", 2), ("PWM_B", 2),
    ("QT_A0", 1), ("QT_A1", 1), ("QT_A2", 1), ("QT_A3", 1), ("QT_B0", 1), ("QT_B1", 1),
    ("QT_B2", 1), ("QT_B3", 1), ("DEC_0", 2), ("DEC_1", 2), ("SCI_0", 4), ("SCI_1", 4),
    ("SPI_0", 2)])

FAMG_PORTS = {
    "A": [["PWM_A.PWM0"], ["PWM_A.PWM1"], ["PWM_A.PWM2"], ["PWM_A.PWM3"], ["PWM_A.PWM4"],
          ["PWM_A.PWM5"], ["PWM_A.FAULT0"], ["PWM_A.FAULT1"]],
    "B": [["SCI_0.TXD"], ["SCI_0.RXD"], ["SPI_0.MISO"], ["SPI_0.MOSI"], ["SPI_0.SCLK"],
          ["SPI_0.SS"], ["QT_A0.TA0"], ["QT_A1.TA1"]],
    "C": [["QT_A2.TA2"], ["QT_A3.TA3"], ["DEC_0.PHASEA"], ["DEC_0.PHASEB"], ["DEC_0.INDEX"],
          ["DEC_0.HOME"], ["SCI_1.TXD"], ["SCI_1.RXD"]],
    "D": [["*OCCS.EXTAL"], ["*OCCS.XTAL"], ["LSCAN.CANTX"], ["LSCAN.CANRX"], ["QT_B0.TB0"],
          ["QT_B1.TB1"], ["QT_B2.TB2"], ["QT_B3.TB3"]],
    "E": [["PWM_B.PWM0"], ["PWM_B.PWM1"], ["PWM_B.PWM2"], ["PWM_B.PWM3"], ["PWM_B.PWM4"],
          ["PWM_B.PWM5"], ["PWM_B.FAULT0"], ["PWM_B.FAULT1"], ["DEC_1.PHASEA"],
          ["DEC_1.PHASEB"], ["DEC_1.INDEX"], ["DEC_1.HOME"]],
    "F": [["SEMI.A%d" % n] for n in range(16)],
}


def template_famg(chip):
    b = Builder(chip, FAMG_PLAN)
    has = chip.has
    roots = [
        folder("Clocks", [b.node("OCCS", "OCCS", "NONE",
                                 "Clock generation, PLL and watchdog", "OCCS")]),
        folder("System", [
            b.node("SYS", "SYS_V1", "NONE", "Pull-ups, stop and wait modes, bus control", "SIM"),
            b.node("SEMI", "SEMI", "SYS", "External memory interface", "EMI") if has("SEMI")
            else None,
            b.node("TSN", "TSN", "NONE", "Temperature sensor", "TSENSOR") if has("TSN") else None,
        ]),
        folder("Interrupts", [intc_node(b, "ITCN", [])]),
        folder("Timers", [
            b.timer("A"),
            b.timer("B") if has("QT_B") else None,
            b.node("PWM_A", "PWM", "OCCS", "Pulse width modulator A", "PWM"),
            b.node("PWM_B", "PWM", "OCCS", "Pulse width modulator B", "PWM") if has("PWM_B")
            else None,
            b.node("DEC_0", "DEC", "OCCS", "Quadrature decoder 0", "DEC") if has("DEC_0") else None,
            b.node("DEC_1", "DEC", "OCCS", "Quadrature decoder 1", "DEC") if has("DEC_1") else None,
        ]),
        folder("Communication", [
            b.node("SCI_0", "SCI", "OCCS", "Serial communication interface 0", "SCI"),
            b.node("SCI_1", "SCI", "OCCS", "Serial communication interface 1", "SCI")
            if has("SCI_1") else None,
            b.node("SPI_0", "SPI", "OCCS", "Serial peripheral interface 0", "SPI"),
            b.node("LSCAN", "LSCAN", "OCCS", "CAN controller", "CAN") if has("LSCAN") else None,
        ]),
        folder("Analog", [
            b.node("ADC_A", "ADC", "OCCS", "Cyclic converter A", "ADC"),
            b.node("ADC_B", "ADC", "OCCS", "Cyclic converter B", "ADC") if has("ADC_B") else None,
        ]),
        Node("Ports", "VOID"),
        folder("Drivers", [
            b.node("VMON", "VMON", "NONE", "Serial debug monitor driver", "VMON", vectors=[]),
            b.node("TRL", "TRL", "NONE", "Trace link driver", "TRL", vectors=[]),
        ]),
    ]
    roots = [r for r in roots if r is not None]
    add_gpio(b, roots, FAMG_PORTS, "NONE")
    return finish_intc(roots, FAMG_PLAN, "ITCN",
                       ["IRQA=1", "IRQB=%d" % (1 if has("IRQB") else 0)])


# ---------------------------------------------------------------------------------------------
# FamH (entries 5 and 6), FamK, and FamJ outside FamB: first-generation clock generation, the
# classic system module with peripheral-select bits, interrupt controller INTC, older PWM and
# cyclic ADC. FamK adds CAN controllers; the small FamJ parts add I2C, comparators and interval
# timers.

CLASSIC_PORTS = {
    "A": [["PWM_A.PWM0"], ["PWM_A.PWM1"], ["PWM_A.PWM2"], ["PWM_A.PWM3"], ["PWM_A.PWM4"],
          ["PWM_A.PWM5"], ["PWM_A.FAULT0", "QT_A2.TA2"], ["PWM_A.FAULT1", "QT_A3.TA3"]],
    "B": [["SCI_0.TXD", "QT_A0.TA0"], ["SCI_0.RXD", "QT_A1.TA1"], ["SPI_0.MISO", "I2C_0.SDA"],
          ["SPI_0.MOSI", "I2C_0.SCL"], ["SPI_0.SCLK", "CMP_A.CMPA_O"],
          ["SPI_0.SS", "CMP_B.CMPB_O"], ["QT_A0.TA0", "SYS.CLKO"], ["QT_A1.TA1"]],
    "C": [["DEC_0.PHASEA", "QT_A0.TA0"], ["DEC_0.PHASEB", "QT_A1.TA1"],
          ["DEC_0.INDEX", "QT_A2.TA2"], ["DEC_0.HOME", "QT_A3.TA3"], ["SCI_1.TXD", "PIT0.PIT0_O"],
          ["SCI_1.RXD", "PIT1.PIT1_O"], ["YCAN|LSCAN.CANTX"], ["YCAN|LSCAN.CANRX"]],
    "D": [["*OCCS.EXTAL", "OCCS.CLKIN"], ["*OCCS.XTAL"], ["QT_B0.TB0", "YCAN2.CANTX"],
          ["QT_B1.TB1", "YCAN2.CANRX"], ["QT_B2.TB2"], ["QT_B3.TB3"], ["SYS.CLKO"], ["SYS.TEST"]],
    "E": [["PWM_B.PWM0", "DEC_1.PHASEA"], ["PWM_B.PWM1", "DEC_1.PHASEB"],
          ["PWM_B.PWM2", "DEC_1.INDEX"], ["PWM_B.PWM3", "DEC_1.HOME"], ["PWM_B.PWM4"],
          ["PWM_B.PWM5"], ["PWM_B.FAULT0", "SPI_1.SS"], ["PWM_B.FAULT1"]],
    "F": [["SPI_1.MISO"], ["SPI_1.MOSI"], ["SPI_1.SCLK"], ["SPI_1.SS"], ["QT_C0.TC0"],
          ["QT_C1.TC1"], ["QT_C2.TC2"], ["QT_C3.TC3"], ["QT_D0.TD0"], ["QT_D1.TD1"],
          ["QT_D2.TD2"], ["QT_D3.TD3"], ["SEMI.CS0"], ["SEMI.CS1"], ["SEMI.CS2"], ["SEMI.CS3"]],
}
CLASSIC_BITS, CLASSIC_BIT_COUNT = assign_select_bits(CLASSIC_PORTS)

FAMH_PLAN_5 = VectorPlan(17, 78, [
    ("VMON", 2), ("OCCS", 1), ("GPIO_A", 1), ("GPIO_B", 1), ("GPIO_C", 1), ("GPIO_D", 1),
    ("GPIO_E", 1), ("SCI_0", 4), ("SCI_1", 4), ("SPI_0", 2), ("SPI_1", 2), ("ADC_A", 3),
    ("ADC_B", 3), ("PWM_A", 2), ("PWM_B", 2)] + [("QT_%s%d" % (t, n), 1) for t in "ABCD"
                                                  for n in range(4)] +
    [("DEC_0", 2), ("DEC_1", 2)])
FAMH_PLAN_6 = VectorPlan(17, 82, [(name, len(v)) for name, v in FAMH_PLAN_5.vectors.items()])

FAMK_LAYOUT = [
    ("VMON", 2), ("OCCS", 1), ("YCAN", 4), ("YCAN2", 4), ("GPIO_A", 1), ("GPIO_B", 1),
    ("GPIO_C", 1), ("GPIO_D", 1), ("GPIO_E", 1), ("GPIO_F", 1), ("SCI_0", 4), ("SCI_1", 4),
    ("SPI_0", 2), ("SPI_1", 2), ("ADC_A", 3), ("ADC_B", 3), ("PWM_A", 2), ("PWM_B", 2)] + [
    ("QT_%s%d" % (t, n), 1) for t in "ABCD" for n in range(4)] + [("DEC_0", 2), ("DEC_1", 2)]
FAMK_PLAN = VectorPlan(10, 82, FAMK_LAYOUT)
FAMK_PLAN_102 = VectorPlan(10, 86, FAMK_LAYOUT)

FAMJ_PLAN = VectorPlan(10, 46, [
    ("VMON", 2), ("OCCS", 1), ("GPIO_A", 1), ("GPIO_B", 1), ("GPIO_C", 1), ("GPIO_D", 1),
    ("SCI_0", 4), ("SPI_0", 2), ("I2C_0", 1), ("ADC_A", 3), ("PWM_A", 2), ("QT_A0", 1),
    ("QT_A1", 1), ("QT_A2", 1), ("QT_A3", 1), ("CMP_A", 1), ("CMP_B", 1), ("PIT0", 1),
    ("PIT1", 1)])


def classic_plan(chip):
    if chip.family == "FamJ":
        return FAMJ_PLAN
    if chip.family == "FamK":
        return FAMK_PLAN_102 if chip.group("G102") else FAMK_PLAN
    return FAMH_PLAN_5 if chip.entry == 5 else FAMH_PLAN_6


def classic_gpio_keys():
    return [("PPMODE", lambda mask: "0x%04X" % mask)]


def template_classic(chip):
    """FamH outside FamJ and FamK, FamK, and FamJ group 97."""
    plan = classic_plan(chip)
    b = Builder(chip, plan)
    has = chip.has
    famj = chip.family == "FamJ"
    famk = chip.family == "FamK"
    gps_count = (CLASSIC_BIT_COUNT + 15) // 16
    # The two smallest processors have no peripheral-select registers: each pin keeps its
    # first peripheral function only.
    no_selects = chip.entry in (5, 6)
    roots = [
        folder("Clocks", [b.node("OCCS", "OCCS", "NONE", "Clock generation, PLL and watchdog",
                                 "OCCS")]),
        folder("System", [
            b.node("SYS", "SYS_V2_Classic", "NONE", "System integration module", "SIM",
                   info=[] if no_selects else ["GPSCNT=%d" % gps_count]),
            b.node("SEMI", "SEMI", "SYS", "External memory interface", "EMI") if has("SEMI")
            else None,
            b.node("TSN", "TSN", "NONE", "Temperature sensor", "TSENSOR") if has("TSN") else None,
        ]),
        folder("Interrupts", [intc_node(b, "INTC", [])]),
        folder("Timers", [
            b.timer("A"),
            b.timer("B") if has("QT_B") else None,
            b.timer("C") if has("QT_C") else None,
            b.timer("D") if has("QT_D") else None,
            b.node("PIT0", "PIT", "OCCS", "Interval timer 0", "PIT") if famj else None,
            b.node("PIT1", "PIT", "OCCS", "Interval timer 1", "PIT") if has("PIT1") else None,
            b.node("PWM_A", "PWM", "OCCS", "Pulse width modulator A", "PWM"),
            b.node("PWM_B", "PWM", "OCCS", "Pulse width modulator B", "PWM") if has("PWM_B")
            else None,
            b.node("DEC_0", "DEC", "OCCS", "Quadrature decoder 0", "DEC") if has("DEC_0") else None,
            b.node("DEC_1", "DEC", "OCCS", "Quadrature decoder 1", "DEC") if has("DEC_1") else None,
        ]),
        folder("Communication", [
            b.node("SCI_0", "SCI", "OCCS", "Serial communication interface 0", "SCI"),
            b.node("SCI_1", "SCI", "OCCS", "Serial communication interface 1", "SCI")
            if has("SCI_1") else None,
            b.node("SPI_0", "SPI", "OCCS", "Serial peripheral interface 0", "SPI"),
            b.node("SPI_1", "SPI", "OCCS", "Serial peripheral interface 1", "SPI")
            if has("SPI_1") else None,
            b.node("I2C_0", "I2C", "OCCS", "I2C bus controller", "I2C") if famj else None,
            b.node("YCAN", "YCAN", "OCCS", "CAN controller", "CAN") if famk else None,
            b.node("YCAN2", "YCAN", "OCCS", "Second CAN controller", "CAN") if has("YCAN2")
            else None,
        ]),
        folder("Analog", [
            b.node("ADC_A", "ADC", "OCCS", "Cyclic converter A", "ADC"),
            b.node("ADC_B", "ADC", "OCCS", "Cyclic converter B", "ADC") if has("ADC_B") else None,
            b.node("CMP_A", "CMP", "NONE", "Analog comparator A", "CMP") if famj else None,
            b.node("CMP_B", "CMP", "NONE", "Analog comparator B", "CMP") if has("CMP_B") else None,
        ]),
        Node("Ports", "VOID"),
        folder("Drivers", [
            b.node("VMON", "VMON", "NONE", "Serial debug monitor driver", "VMON"),
            b.node("TRL", "TRL", "NONE", "Trace link driver", "TRL", vectors=[]) if has("TRL")
            else None,
        ]),
    ]
    roots = [r for r in roots if r is not None]
    if no_selects:
        ports = {port: [functions[:1] for functions in pins]
                 for port, pins in CLASSIC_PORTS.items()}
        add_gpio(b, roots, ports, "SYS", None, classic_gpio_keys())
    else:
        add_gpio(b, roots, CLASSIC_PORTS, "SYS", CLASSIC_BITS, classic_gpio_keys())
    irq = ["IRQA=1", "IRQB=%d" % (1 if has("IRQB") else 0)]
    return finish_intc(roots, plan, "INTC", irq)


# ---------------------------------------------------------------------------------------------
# FamB: FamJ members with the FamB system module and I2C, DACs and more comparators.

FAMB_PLAN = VectorPlan(12, 64, [
    ("VMON", 2), ("OCCS", 1), ("LSCAN", 4), ("GPIO_A", 1), ("GPIO_B", 1), ("GPIO_C", 1),
    ("GPIO_D", 1), ("GPIO_E", 1), ("GPIO_F", 1), ("SCI_0", 4), ("SCI_1", 4), ("SPI_0", 2),
    ("SPI_1", 2), ("I2C_0", 1), ("ADC_A", 3), ("PWM_A", 2), ("QT_A0", 1), ("QT_A1", 1),
    ("QT_A2", 1), ("QT_A3", 1), ("CMP_A", 1), ("CMP_B", 1), ("CMP_C", 1), ("PIT0", 1),
    ("PIT1", 1), ("PIT2", 1)])

FAMB_PORTS = {
    "A": CLASSIC_PORTS["A"],
    "B": [["SCI_0.TXD", "QT_A0.TA0"], ["SCI_0.RXD", "QT_A1.TA1"], ["SPI_0.MISO", "I2C_0.SDA"],
          ["SPI_0.MOSI", "I2C_0.SCL"], ["SPI_0.SCLK", "CMP_A.CMPA_O"],
          ["SPI_0.SS", "CMP_B.CMPB_O"], ["*OCCS.CLKIN_PRI", "PIT0.PIT0_O"],
          ["OCCS.CLKIN_ALT", "CMP_C.CMPC_O"]],
    "C": [["ADC_A.ANA%d" % n] for n in range(4)] + [["ADC_A.ANB%d" % n] for n in range(4)],
    "D": [["*OCCS.EXTAL"], ["*OCCS.XTAL", "OCCS.CLKIN_XTL"], ["DAC_0.DACO"], ["DAC_1.DACO"],
          ["SCI_1.TXD", "PIT1.PIT1_O"], ["SCI_1.RXD", "PIT2.PIT2_O"], ["LSCAN.CANTX"],
          ["LSCAN.CANRX"]],
    "E": [["SPI_1.MISO"], ["SPI_1.MOSI"], ["SPI_1.SCLK"], ["SPI_1.SS"], ["QT_A2.TA2"],
          ["QT_A3.TA3"], ["SYS.CLKO"], ["SYS.TEST"]],
    "F": [["*SYS.TDI"], ["*SYS.TDO"], ["*SYS.TCK"], ["*SYS.TMS"]] + [[] for _ in range(12)],
}
FAMB_BITS, FAMB_BIT_COUNT = assign_select_bits(FAMB_PORTS)


def template_famb(chip):
    b = Builder(chip, FAMB_PLAN)
    has = chip.has
    roots = [
        folder("Clocks", [b.node("OCCS", "OCCS", "NONE", "Clock generation, PLL and watchdog",
                                 "OCCS")]),
        folder("System", [b.node("SYS", "SYS_V2_FamB", "NONE", "System integration module",
                                 "SIM", info=["GPSCNT=%d" % ((FAMB_BIT_COUNT + 15) // 16)])]),
        folder("Interrupts", [intc_node(b, "INTC", [])]),
        folder("Timers", [
            b.timer("A"),
            b.node("PIT0", "PIT", "OCCS", "Interval timer 0", "PIT"),
            b.node("PIT1", "PIT", "OCCS", "Interval timer 1", "PIT"),
            b.node("PIT2", "PIT", "OCCS", "Interval timer 2", "PIT") if has("PIT2") else None,
            b.node("PWM_A", "PWM", "OCCS", "Pulse width modulator A", "PWM"),
        ]),
        folder("Communication", [
            b.node("SCI_0", "SCI", "OCCS", "Serial communication interface 0", "SCI"),
            b.node("SCI_1", "SCI", "OCCS", "Serial communication interface 1", "SCI")
            if has("SCI_1") else None,
            b.node("SPI_0", "SPI", "OCCS", "Serial peripheral interface 0", "SPI"),
            b.node("SPI_1", "SPI", "OCCS", "Serial peripheral interface 1", "SPI")
            if has("SPI_1") else None,
            b.node("I2C_0", "I2C_FamB", "OCCS", "I2C bus controller", "I2C"),
            b.node("LSCAN", "LSCAN", "OCCS", "CAN controller", "CAN") if has("LSCAN") else None,
        ]),
        folder("Analog", [
            b.node("ADC_A", "ADC", "OCCS", "Cyclic converter", "ADC"),
            b.node("CMP_A", "CMP", "NONE", "Analog comparator A", "CMP"),
            b.node("CMP_B", "CMP", "NONE", "Analog comparator B", "CMP"),
            b.node("CMP_C", "CMP", "NONE", "Analog comparator C", "CMP") if has("CMP_C") else None,
            b.node("DAC_0", "DAC", "NONE", "12-bit DAC 0", "DAC"),
            b.node("DAC_1", "DAC", "NONE", "12-bit DAC 1", "DAC") if has("DAC_1") else None,
        ]),
        Node("Ports", "VOID"),
        folder("Drivers", [b.node("VMON", "VMON", "NONE", "Serial debug monitor driver",
                                  "VMON")]),
    ]
    roots = [r for r in roots if r is not None]
    add_gpio(b, roots, FAMB_PORTS, "SYS", FAMB_BITS, classic_gpio_keys())
    return finish_intc(roots, FAMB_PLAN, "INTC", ["IRQA=1", "IRQB=%d" % (
        1 if chip.group("G99") else 0)])


# ---------------------------------------------------------------------------------------------
# FamC: second-generation clock generation, own watchdog module, enhanced PWM with four
# sub-modules, high-speed comparators and one crossbar.

FAMC_PLAN = VectorPlan(12, 67, [
    ("VMON", 2), ("OCCS", 2), ("LSCAN", 4), ("GPIO_A", 1), ("GPIO_B", 1), ("GPIO_C", 1),
    ("GPIO_D", 1), ("GPIO_E", 1), ("GPIO_F", 1), ("SCI_0", 4), ("SCI_1", 4), ("SPI_0", 2),
    ("SPI_1", 2), ("I2C_0", 1), ("ADC_A", 3), ("PWM", 2), ("PWM_0", 2), ("PWM_1", 2),
    ("PWM_2", 2), ("PWM_3", 2), ("QT_A0", 1), ("QT_A1", 1), ("QT_A2", 1), ("QT_A3", 1),
    ("QT_B0", 1), ("QT_B1", 1), ("QT_B2", 1), ("QT_B3", 1), ("HSCMP_A", 1), ("HSCMP_B", 1),
    ("HSCMP_C", 1), ("PIT0", 1), ("PIT1", 1)])

FAMC_PORTS = {
    "A": [["ADC_A.ANA%d" % n, "HSCMP_A.CMPA_IN%d" % n] for n in range(4)] +
         [["ADC_A.ANB%d" % n, "HSCMP_B.CMPB_IN%d" % n] for n in range(4)],
    "B": [["SCI_0.TXD", "XBAR.XB_IN2"], ["SCI_0.RXD", "XBAR.XB_IN3"], ["SPI_0.MISO", "I2C_0.SDA"],
          ["SPI_0.MOSI", "I2C_0.SCL"], ["SPI_0.SCLK", "XBAR.XB_OUT2"],
          ["SPI_0.SS", "XBAR.XB_OUT3"], ["QT_A0.TA0", "XBAR.XB_IN4"],
          ["QT_A1.TA1", "XBAR.XB_IN5"]],
    "C": [["*OCCS.EXTAL", "OCCS.CLKIN"], ["*OCCS.XTAL"], ["QT_A2.TA2", "HSCMP_A.CMPA_O"],
          ["QT_A3.TA3", "HSCMP_B.CMPB_O"], ["SCI_1.TXD", "XBAR.XB_IN6"],
          ["SCI_1.RXD", "XBAR.XB_IN7"], ["LSCAN.CANTX", "XBAR.XB_OUT4"],
          ["LSCAN.CANRX", "XBAR.XB_OUT5"]],
    "D": [["*SYS.TDI"], ["*SYS.TDO"], ["*SYS.TCK"], ["*SYS.TMS"], ["DAC.DACO", "SYS.CLKO"]],
    "E": [["PWM_0.PWM0_B"], ["PWM_0.PWM0_A"], ["PWM_1.PWM1_B"], ["PWM_1.PWM1_A"],
          ["PWM_2.PWM2_B", "XBAR.XB_IN6"], ["PWM_2.PWM2_A", "XBAR.XB_IN7"],
          ["PWM_3.PWM3_B", "HSCMP_C.CMPC_O"], ["PWM_3.PWM3_A", "QT_B3.TB3"]],
    "F": [["SPI_1.MISO", "QT_B0.TB0"], ["SPI_1.MOSI", "QT_B1.TB1"], ["SPI_1.SCLK", "QT_B2.TB2"],
          ["SPI_1.SS", "XBAR.XB_OUT6"], ["PWM.FAULT0", "XBAR.XB_OUT7"], ["PWM.FAULT1"],
          ["PWM.FAULT2"], ["PWM.FAULT3"]],
}
FAMC_BITS, FAMC_BIT_COUNT = assign_select_bits(FAMC_PORTS)

FAMC_XBAR_INPUTS = (["VSS", "VDD"] + ["XB_IN%d" % n for n in range(2, 8)] + ["PIT0_SYNC"] +
                    ["CMPA_OUT", "CMPB_OUT", "CMPC_OUT"] + ["TB%d_OUT" % n for n in range(4)] +
                    ["PWM0_TRG", "PWM1_TRG", "PWM2_TRG", "PWM012_TRG", "PWM3_TRG0",
                     "PWM3_TRG1", "PIT1_SYNC", "ADCA_SCAN_END", "ADCB_SCAN_END"] +
                    ["TA%d_OUT" % n for n in range(4)] + ["SCI0_TXD", "SCI1_TXD"])
FAMC_XBAR_OUTPUTS = ["ADCA_TRIG", "ADCB_TRIG", "XB_OUT2", "XB_OUT3", "XB_OUT4", "XB_OUT5",
                     "XB_OUT6", "XB_OUT7", "DAC_SYNC", "CMPA_WIN", "CMPB_WIN", "CMPC_WIN",
                     "PWM0_EXTA", "PWM1_EXTA", "PWM2_EXTA", "PWM3_EXTA", "PWM0_EXT_SYNC",
                     "PWM1_EXT_SYNC", "PWM2_EXT_SYNC", "PWM3_EXT_SYNC", "PWM_EXT_CLK",
                     "PWM_FAULT0", "PWM_FAULT1", "PWM_FAULT2", "PWM_FAULT3", "PWM_FORCE",
                     "TB0_IN", "TB1_IN", "TB2_IN", "TB3_IN"]


def xbar_info(inputs, outputs, show_cfg=False):
    assert len(inputs) <= 100 and len(outputs) <= 100
    lines = ["cfg, showCfg"] if show_cfg else []
    lines += ["out, %d, %s" % (index, name) for index, name in enumerate(outputs)]
    lines += ["in, %s" % name for name in inputs]
    return lines


def template_famc(chip):
    b = Builder(chip, FAMC_PLAN)
    has = chip.has
    assert len(FAMC_XBAR_INPUTS) <= 32
    pwm_subs = [b.node("PWM_%d" % n, "PWM_FamC", "PWM", "PWM sub-module %d" % n, "PWM")
                for n in range(4)]
    roots = [
        folder("Clocks", [b.node("OCCS", "OCCS", "NONE", "Clock generation and PLL", "OCCS")]),
        folder("System", [
            b.node("SYS", "SYS_V2_FamC", "NONE", "System integration module", "SIM",
                   info=["GPSCNT=%d" % ((FAMC_BIT_COUNT + 15) // 16)]),
            b.node("COP", "COP_FamA", "OCCS", "Watchdog", "COP", vectors=[]),
            b.node("CRC", "CRC", "NONE", "CRC generator", "CRC", vectors=[]),
        ]),
        folder("Interrupts", [intc_node(b, "INTC", [])]),
        folder("Timers", [
            b.timer("A"),
            b.timer("B") if has("QT_B") else None,
            b.node("PIT0", "PIT", "OCCS", "Interval timer 0", "PIT"),
            b.node("PIT1", "PIT", "OCCS", "Interval timer 1", "PIT"),
            b.node("PWM", "PWMAll_FamC", "OCCS", "Enhanced PWM, common settings", "PWM",
                   children=pwm_subs),
            b.node("PWM_SW", "PWM_FamC_SWLayer", "PWM", "PWM driver layer and wizards", "PWM",
                   vectors=[]),
        ]),
        folder("Communication", [
            b.node("SCI_0", "SCI", "OCCS", "Serial communication interface 0", "SCI"),
            b.node("SCI_1", "SCI", "OCCS", "Serial communication interface 1", "SCI"),
            b.node("SPI_0", "SPI", "OCCS", "Serial peripheral interface 0", "SPI"),
            b.node("SPI_1", "SPI", "OCCS", "Serial peripheral interface 1", "SPI")
            if has("SPI_1") else None,
            b.node("I2C_0", "I2C_FamA", "OCCS", "I2C bus controller", "I2C"),
            b.node("LSCAN", "LSCAN", "OCCS", "CAN controller", "CAN") if has("LSCAN") else None,
        ]),
        folder("Analog", [
            b.node("ADC_A", "ADC", "OCCS", "Cyclic converter", "ADC"),
            b.node("HSCMP_A", "HSCMP", "NONE", "High-speed comparator A", "HSCMP"),
            b.node("HSCMP_B", "HSCMP", "NONE", "High-speed comparator B", "HSCMP"),
            b.node("HSCMP_C", "HSCMP", "NONE", "High-speed comparator C", "HSCMP")
            if has("HSCMP_C") else None,
            b.node("DAC", "DAC", "XBAR", "12-bit DAC", "DAC", vectors=[]),
            b.node("VREF_A", "VREF_DAC", "NONE", "Reference-voltage DAC A", "VREF", vectors=[])
            if has("VREF_A") else None,
            b.node("VREF_B", "VREF_DAC", "NONE", "Reference-voltage DAC B", "VREF", vectors=[])
            if has("VREF_B") else None,
        ]),
        folder("Routing", [b.node("XBAR", "XBAR", "NONE", "Inter-peripheral crossbar", "XBAR",
                                  vectors=[], info=xbar_info(FAMC_XBAR_INPUTS,
                                                             FAMC_XBAR_OUTPUTS))]),
        Node("Ports", "VOID"),
        folder("Drivers", [b.node("VMON", "VMON", "NONE", "Serial debug monitor driver",
                                  "VMON")]),
    ]
    roots = [r for r in roots if r is not None]
    add_gpio(b, roots, FAMC_PORTS, "SYS", FAMC_BITS, classic_gpio_keys())
    return finish_intc(roots, FAMC_PLAN, "INTC", ["IRQA=1", "IRQB=1"])


# ---------------------------------------------------------------------------------------------
# FamE, FamF and FamD: third-generation clock generation, one system module for all three,
# two crossbars with and-or-invert logic, DMA (FamE, FamF) or enhanced DMA with the event
# generator (FamD), flash modules.

NEW_PORTS = {
    "A": [["ADC_A.ANA%d" % n, "HSCMP_%s.CMP%s_IN%d" % ("ABCD"[n // 2], "ABCD"[n // 2], n % 2)]
          for n in range(8)],
    "B": [["ADC_A.ANB%d" % n, "HSCMP_%s.CMP%s_IN%d" % ("ABCD"[n // 2], "ABCD"[n // 2],
                                                     2 + n % 2)] for n in range(8)],
    "C": [["*OCCS.EXTAL", "OCCS.CLKIN"], ["*OCCS.XTAL", "OCCS.CLKIN1"],
          ["QT_A0.TA0", "HSCMP_A.CMPA_O", "XBAR_A.XB_IN2"],
          ["QT_A1.TA1", "HSCMP_B.CMPB_O", "XBAR_A.XB_IN3"], ["QT_A2.TA2", "XBAR_A.XB_OUT4"],
          ["QT_A3.TA3", "XBAR_A.XB_OUT5"], ["SCI_0.TXD", "XBAR_A.XB_IN4"],
          ["SCI_0.RXD", "XBAR_A.XB_IN5"], ["SPI_0.MISO", "XBAR_A.XB_IN6"],
          ["SPI_0.MOSI", "XBAR_A.XB_OUT6"], ["SPI_0.SCLK", "XBAR_A.XB_IN7"],
          ["SPI_0.SS", "XBAR_A.XB_OUT7"], ["YCAN|LSCAN.CANTX", "I2C_0.SDA"],
          ["YCAN|LSCAN.CANRX", "I2C_0.SCL"], ["HSCMP_C.CMPC_O", "XBAR_A.XB_IN8"],
          ["HSCMP_D.CMPD_O", "XBAR_A.XB_IN9"]],
    "D": [["*SYS.TDI"], ["*SYS.TDO"], ["*SYS.TCK"], ["*SYS.TMS"], ["*SYS.RESETB"]],
    "E": [["PWM_A_0.PWM_A0_B"], ["PWM_A_0.PWM_A0_A"], ["PWM_A_1.PWM_A1_B"],
          ["PWM_A_1.PWM_A1_A"], ["PWM_A_2.PWM_A2_B", "XBAR_A.XB_IN10"],
          ["PWM_A_2.PWM_A2_A", "XBAR_A.XB_IN11"], ["PWM_A_3.PWM_A3_B", "XBAR_A.XB_OUT8"],
          ["PWM_A_3.PWM_A3_A", "XBAR_A.XB_OUT9"]],
    "F": [["SCI_1.TXD", "XBAR_A.XB_OUT10"], ["SCI_1.RXD", "XBAR_A.XB_OUT11"],
          ["I2C_1.SDA", "SCI_2.TXD"], ["I2C_1.SCL", "SCI_2.RXD"], ["SPI_1.MISO", "QT_B0.TB0"],
          ["SPI_1.MOSI", "QT_B1.TB1"], ["SPI_1.SCLK", "QT_B2.TB2"], ["SPI_1.SS", "QT_B3.TB3"],
          ["EWM.EWM_OUT", "DAC|DAC_A.DACO"]],
    "G": [["PWM_A.FAULT0", "ENC.PHASEA"], ["PWM_A.FAULT1", "ENC.PHASEB"],
          ["PWM_A.FAULT2", "ENC.INDEX"], ["PWM_A.FAULT3", "ENC.HOME"],
          ["PWM_B_0.PWM_B0_B", "DAC_B.DACO"], ["PWM_B_0.PWM_B0_A", "SYS.CLKO0"],
          ["PWM_B_1.PWM_B1_B", "SYS.CLKO1"], ["PWM_B_1.PWM_B1_A"], ["PWM_B_2.PWM_B2_B"],
          ["PWM_B_2.PWM_B2_A"], ["PWM_B_3.PWM_B3_B", "ENC.CAP"], ["PWM_B_3.PWM_B3_A"]],
}
NEW_BITS, NEW_BIT_COUNT = assign_select_bits(NEW_PORTS)


def new_plan(family):
    layout = [("VMON", 2), ("OCCS", 2), ("COP", 1), ("FTFL", 2), ("MCM", 1)]
    layout += [("GPIO_" + p, 1) for p in "ABCDEFG"]
    layout += [("SCI_0", 4), ("SCI_1", 4)] + ([("SCI_2", 4)] if family != "FamF" else [])
    layout += [("SPI_0", 2), ("SPI_1", 2), ("I2C_0", 1), ("I2C_1", 1)]
    layout += [("LSCAN", 4)] if family == "FamF" else [("YCAN", 4)]
    layout += [("ADC_A", 3)] + ([("ADC16", 1)] if family == "FamE" else [])
    layout += [("PWM_A", 2)] + [("PWM_A_%d" % n, 2) for n in range(4)]
    layout += [("PWM_B_%d" % n, 2) for n in range(4)] if family == "FamD" else []
    layout += [("QT_%s%d" % (t, n), 1) for t in "AB" for n in range(4)]
    layout += [("HSCMP_" + c, 1) for c in "ABCD"]
    layout += [("PDB_0", 1), ("PDB_1", 1)] if family == "FamE" else []
    layout += [("PIT0", 1), ("PIT1", 1), ("EWM", 1)]
    layout += [("ENC", 4)] if family != "FamF" else []
    layout += [("XBAR_A", 1)]
    layout += [("EDMA", 5)] if family == "FamD" else [("DMA", 4)]
    return VectorPlan(14, 112 if family == "FamD" else 111, layout)


NEW_PLANS = {family: new_plan(family) for family in ("FamE", "FamF", "FamD")}


def new_xbar_a_inputs(family):
    inputs = ["VSS", "VDD"] + ["XB_IN%d" % n for n in range(2, 12)]
    inputs += ["CMPA_OUT", "CMPB_OUT", "CMPC_OUT", "CMPD_OUT"]
    inputs += ["TA%d_OUT" % n for n in range(4)] + ["TB%d_OUT" % n for n in range(4)]
    inputs += ["ADCA_SCAN_END", "ADCB_SCAN_END"]
    inputs += ["PWM_A%d_TRG%d" % (n, t) for n in range(4) for t in range(2)]
    if family == "FamD":
        inputs += ["PWM_B%d_TRG%d" % (n, t) for n in range(4) for t in range(2)]
    inputs += ["AOI_OUT%d" % n for n in range(4)]
    inputs += ["PIT0_SYNC", "PIT1_SYNC"]
    if family == "FamE":
        inputs += ["ADC16_COCO", "PDB0_PULSE", "PDB1_PULSE"]
    if family == "FamD":
        inputs += ["EVTG%d_OUT%s" % (n, s) for n in range(4) for s in "AB"]
    else:
        inputs += ["DMA_DONE%d" % n for n in range(4)]
    inputs += ["SCI0_TXD", "SCI1_TXD"]
    assert len(inputs) <= 64, len(inputs)
    return inputs


def new_xbar_a_outputs(family):
    outputs = ["DMA_REQ%d" % n for n in range(4)] + ["XB_OUT%d" % n for n in range(4, 12)]
    outputs += ["ADCA_TRIG", "ADCB_TRIG"]
    outputs += ["ADC16_TRIG", "DAC_SYNC"] if family == "FamE" else ["DAC_B_SYNC", "DAC_A_SYNC"]
    outputs += ["CMPA_WIN", "CMPB_WIN", "CMPC_WIN", "CMPD_WIN"]
    outputs += ["PWM_A%d_EXTA" % n for n in range(4)]
    outputs += ["PWM_A%d_EXT_SYNC" % n for n in range(4)]
    outputs += ["PWM_A_EXT_CLK"] + ["PWM_A_FAULT%d" % n for n in range(4)] + ["PWM_A_FORCE"]
    outputs += ["TA%d_IN" % n for n in range(4)]
    if family == "FamE":
        outputs += ["PDB0_TRIG", "TB0_IN", "TB1_IN", "PDB1_TRIG", "TB2_IN", "TB3_IN"]
        outputs += ["SCI0_RXD", "SCI1_RXD", "SCI2_RXD", "ENC_PHASEA", "ENC_PHASEB",
                    "ENC_INDEX", "ENC_HOME", "ENC_CAP"]
        outputs += ["PWM_A%d_EXTB" % n for n in range(4)] + ["QT_B_CASCADE", "ADC16_ALT_TRIG"]
        outputs += ["EWM_IN"]
        assert outputs.index("PDB0_TRIG") == 38 and outputs.index("PDB1_TRIG") == 41
        assert outputs.index("EWM_IN") == 58 and outputs.index("DAC_SYNC") == 15
    elif family == "FamF":
        outputs += ["SCI0_RXD", "SCI1_RXD", "EWM_IN"]
        outputs += ["TB%d_IN" % n for n in range(4)] + ["ADCA_ALT_TRIG", "ADCB_ALT_TRIG"]
        assert outputs.index("SCI0_RXD") == 38 and outputs.index("EWM_IN") == 40
        assert outputs.index("DAC_A_SYNC") == 15 and outputs.index("DAC_B_SYNC") == 14
    else:
        outputs += ["TB%d_IN" % n for n in range(4)]
        outputs += ["SCI0_RXD", "SCI1_RXD", "SCI2_RXD", "ENC_PHASEA", "ENC_PHASEB",
                    "ENC_INDEX", "ENC_HOME", "ENC_CAP"]
        outputs += ["PWM_B%d_EXTA" % n for n in range(4)]
        outputs += ["PWM_B%d_EXT_SYNC" % n for n in range(4)]
        outputs += ["PWM_B_EXT_CLK"] + ["PWM_B_FAULT%d" % n for n in range(4)]
        outputs += ["EWM_IN"] + ["EVTG_IN%d" % n for n in range(8)]
        assert outputs.index("EWM_IN") == 63 and outputs.index("DAC_A_SYNC") == 15
    return outputs


def new_xbar_b_inputs():
    inputs = ["VSS", "VDD"] + ["XB_IN%d" % n for n in range(2, 10)]
    inputs += ["CMPA_OUT", "CMPB_OUT", "CMPC_OUT", "CMPD_OUT"]
    inputs += ["TA%d_OUT" % n for n in range(4)] + ["TB%d_OUT" % n for n in range(4)]
    inputs += ["ADCA_SCAN_END", "ADCB_SCAN_END"]
    inputs += ["PWM_A%d_TRG0" % n for n in range(4)] + ["PIT0_SYNC", "PIT1_SYNC"]
    assert len(inputs) <= 32
    return inputs


def aoi_info(xbar_a_inputs):
    lines = []
    for event in range(4):
        inputs = ":".join("XBAR_B.XB_OUT%d" % (event * 4 + n) for n in range(4))
        output = "XBAR_A.XB_IN%d" % xbar_a_inputs.index("AOI_OUT%d" % event)
        lines.append("%d, %s, %s" % (event, inputs, output))
    return lines


def dma_info(plan):
    vectors = plan.of("DMA")
    lines = ["%d,INT:%d" % (channel, vectors[channel]) for channel in range(4)]
    # Request sources per request number, one per channel 0 to 3 (module:label).
    sources = [
        ["Reserved"] * 4,
        ["SCI_0:SCI0 Rx", "SCI_0:SCI0 Tx", "SCI_1:SCI1 Rx", "SCI_1:SCI1 Tx"],
        ["SCI_0:SCI0 Tx", "SCI_0:SCI0 Rx", "SCI_1:SCI1 Tx", "SCI_1:SCI1 Rx"],
        ["SCI_2:SCI2 Rx", "SCI_2:SCI2 Tx", "SPI_0:SPI0 Rx", "SPI_0:SPI0 Tx"],
        ["SPI_0:SPI0 Rx", "SPI_0:SPI0 Tx", "SPI_1:SPI1 Rx", "SPI_1:SPI1 Tx"],
        ["I2C_0:I2C0", "I2C_1:I2C1", "I2C_0:I2C0", "I2C_1:I2C1"],
        ["QT_A0:TA0", "QT_A1:TA1", "QT_A2:TA2", "QT_A3:TA3"],
        ["QT_B0:TB0", "QT_B1:TB1", "QT_B2:TB2", "QT_B3:TB3"],
        ["ADC_A:ADCA scan end", "ADC_A:ADCB scan end", "ADC_A:ADCA scan end",
         "ADC_A:ADCB scan end"],
        ["HSCMP_A:CMPA", "HSCMP_B:CMPB", "HSCMP_C:CMPC", "HSCMP_D:CMPD"],
        ["PWM_A_0:PWM A0 capture", "PWM_A_1:PWM A1 capture", "PWM_A_2:PWM A2 capture",
         "PWM_A_3:PWM A3 capture"],
        ["PWM_A_0|PWM_A_1|PWM_A_2|PWM_A_3:PWM A value reload"] * 4,
        ["XBAR_A:XBAR DMA request 0", "XBAR_A:XBAR DMA request 1", "XBAR_A:XBAR DMA request 2",
         "XBAR_A:XBAR DMA request 3"],
        ["ADC16:ADC16 conversion complete", "DAC|DAC_A:DAC watermark", "DAC_B:DAC B watermark",
         "Reserved"],
        ["Reserved"] * 4,
        ["Always enabled"] * 4,
        ["Always enabled"] * 4,
    ]
    for request, row in enumerate(sources):
        lines.append(",".join(["in", str(request)] + row))
    return lines


def template_new(chip):
    """FamE, FamF and FamD."""
    family = chip.family
    plan = NEW_PLANS[family]
    b = Builder(chip, plan)
    has = chip.has
    fame, famf, famd = family == "FamE", family == "FamF", family == "FamD"
    xa_inputs = new_xbar_a_inputs(family)
    pwm_a = [b.node("PWM_A_%d" % n, "PWM_FamC", "PWM_A", "PWM A sub-module %d" % n, "PWM")
             for n in range(4)]
    pwm_b = None
    if has("PWM_B"):
        pwm_b = Node("PWM_B", "EMPTY", "NONE", [], "!PWM B!Second enhanced PWM",
                     "%s#PWM" % b.manual,
                     [b.node("PWM_B_%d" % n, "PWM_FamC", "PWM_A", "PWM B sub-module %d" % n,
                             "PWM") for n in range(4)])
    can = None
    if famf and has("LSCAN"):
        can = b.node("LSCAN", "LSCAN", "OCCS", "CAN controller", "CAN")
    elif not famf and has("YCAN"):
        can = b.node("YCAN", "YCAN", "OCCS",
                     "CAN controller with flexible data rate" if famd else "CAN controller",
                     "CAN", info=["MCR_RESET=0x%08X" % (0xD890001F if has("CAN32")
                                                         else 0xD890000F)])
    if fame:
        dacs = [b.node("DAC", "DAC", "XBAR_A", "12-bit DAC", "DAC", vectors=[])]
    else:
        dacs = [b.node("DAC_A", "DAC", "XBAR_A", "12-bit DAC A", "DAC", vectors=[]),
                b.node("DAC_B", "DAC", "XBAR_A", "12-bit DAC B", "DAC", vectors=[])
                if has("DAC_B") else None]
    flash = "FLASH512" if has("FLASH512") else "FLASH256"
    roots = [
        folder("Clocks", [b.node("OCCS", "OCCS", "SYS", "Clock generation and PLL", "OCCS")]),
        folder("System", [
            b.node("SYS", "SYS_FamE_FamF_FamD", "NONE", "System integration module", "SIM",
                   info=["GPSCNT=%d" % ((NEW_BIT_COUNT + 15) // 16)]),
            b.node("COP", "COP_FamA", "OCCS", "Watchdog", "COP"),
            b.node("EWM", "EWM", "XBAR_A", "External watchdog monitor", "EWM"),
            b.node("MCM", "MCM", "NONE", "Core platform control", "MCM"),
            b.node("FTFL", "FTFL", "NONE", "Flash memory module", "FTFL"),
            b.node("FMC", "FMC", "NONE", "Flash memory controller", "FMC", vectors=[],
                   info=["PFB0CR_RESET=0x%08X" % (0x3004001F if flash == "FLASH512"
                                                  else 0x3002001F)]),
            b.node("FLASHOPT", "FLASHOPT", "NONE", "Flash configuration field and boot options",
                   "FCF", vectors=[]) if not famf else None,
            b.node("CRC", "CRC", "NONE", "CRC generator", "CRC", vectors=[]),
            b.node("DMA", "DMA", "NONE", "Four-channel DMA controller", "DMA", vectors=[],
                   info=dma_info(plan)) if not famd and has("DMA") else None,
            b.node("EDMA", "EDMA", "NONE", "Enhanced DMA controller", "EDMA") if famd else None,
        ]),
        folder("Interrupts", [intc_node(b, "INTC", [])]),
        folder("Timers", [
            b.timer("A"),
            b.timer("B") if has("QT_B") else None,
            b.node("PIT0", "PIT", "OCCS", "Interval timer 0", "PIT"),
            b.node("PIT1", "PIT", "OCCS", "Interval timer 1", "PIT"),
            b.node("PWM_A", "PWMAll_FamC", "OCCS", "Enhanced PWM A, common settings", "PWM",
                   children=pwm_a),
            pwm_b,
            b.node("PWM_SW", "PWM_FamC_SWLayer", "PWM_A", "PWM driver layer and wizards", "PWM",
                   vectors=[]),
            b.node("PDB_0", "PDB", "XBAR_A", "Programmable delay block 0", "PDB") if fame
            else None,
            b.node("PDB_1", "PDB", "XBAR_A", "Programmable delay block 1", "PDB")
            if fame and has("PDB_1") else None,
            b.node("ENC", "ENC", "OCCS", "Quadrature encoder", "ENC") if has("ENC") else None,
        ]),
        folder("Communication", [
            b.node("SCI_0", "SCI", "OCCS", "Serial communication interface 0", "SCI"),
            b.node("SCI_1", "SCI", "OCCS", "Serial communication interface 1", "SCI")
            if has("SCI_1") else None,
            b.node("SCI_2", "SCI", "OCCS", "Serial communication interface 2", "SCI")
            if has("SCI_2") else None,
            b.node("SPI_0", "SPI", "OCCS", "Serial peripheral interface 0", "SPI"),
            b.node("SPI_1", "SPI", "OCCS", "Serial peripheral interface 1", "SPI")
            if has("SPI_1") else None,
            b.node("I2C_0", "I2C_FamA", "OCCS", "I2C bus controller 0", "I2C"),
            b.node("I2C_1", "I2C_FamA", "OCCS", "I2C bus controller 1", "I2C")
            if has("I2C_1") else None,
            can,
        ]),
        folder("Analog", [
            b.node("ADC_A", "ADC", "OCCS", "Cyclic converter, sub-converters A and B", "ADC"),
            b.node("ADC16", "ADC_FamE", "OCCS", "16-bit successive-approximation converter",
                   "ADC16") if fame and has("ADC16") else None,
            b.node("HSCMP_A", "HSCMP", "NONE", "High-speed comparator A", "HSCMP"),
            b.node("HSCMP_B", "HSCMP", "NONE", "High-speed comparator B", "HSCMP"),
            b.node("HSCMP_C", "HSCMP", "NONE", "High-speed comparator C", "HSCMP")
            if fame or has("HSCMP_C") else None,
            b.node("HSCMP_D", "HSCMP", "NONE", "High-speed comparator D", "HSCMP")
            if has("HSCMP_D") else None,
        ] + dacs),
        folder("Routing", [
            b.node("XBAR_A", "XBAR", "NONE", "Crossbar A", "XBAR",
                   info=xbar_info(xa_inputs, new_xbar_a_outputs(family), show_cfg=True)),
            b.node("XBAR_B", "XBAR", "NONE", "Crossbar B, inputs of the logic events", "XBAR",
                   vectors=[], info=xbar_info(new_xbar_b_inputs(),
                                              ["AOI_IN%d" % n for n in range(16)])),
            b.node("AOI", "AOI", "XBAR_B", "And-or-invert event logic", "AOI", vectors=[],
                   info=aoi_info(xa_inputs)),
            b.node("EVTG", "EVTG", "XBAR_A", "Event generator", "EVTG", vectors=[])
            if famd else None,
        ]),
        Node("Ports", "VOID"),
        folder("Drivers", [b.node("VMON", "VMON", "NONE", "Serial debug monitor driver",
                                  "VMON")]),
    ]
    roots = [r for r in roots if r is not None]
    add_gpio(b, roots, NEW_PORTS, "SYS", NEW_BITS,
             [("PPMODE", lambda mask: "0x%04X" % mask)])
    return finish_intc(roots, plan, "INTC")


# ---------------------------------------------------------------------------------------------
# FamA: second-generation clock generation, interrupt controller WINTC with user vectors,
# successive-approximation converters with amplifiers, delay block, power management.

FAMA_PLAN = VectorPlan(8, 51, [
    ("VMON", 2), ("OCCS", 1), ("COP", 1), ("PMC", 1), ("RTC", 1), ("GPIO_A", 1), ("GPIO_B", 1),
    ("GPIO_C", 1), ("GPIO_D", 1), ("SCI_0", 2), ("SCI_1", 2), ("SPI_0", 2), ("I2C_0", 1),
    ("ADC_0", 1), ("ADC_1", 1), ("PDB", 1), ("HSCMP_0", 1), ("HSCMP_1", 1), ("HSCMP_2", 1),
    ("PWM", 2), ("QT_A0", 1), ("QT_A1", 1), ("QT_A2", 1), ("QT_A3", 1), ("PIT0", 1),
    ("PIT1", 1)], skip=range(34, 40))

FAMA_PORTS = {
    "A": [["PWM.PWM%d" % n] for n in range(6)] + [["PWM.FAULT0"], ["PWM.FAULT1"]],
    "B": [["SCI_0.TXD"], ["SCI_0.RXD"], ["SPI_0.MISO"], ["SPI_0.MOSI"], ["SPI_0.SCLK"],
          ["SPI_0.SS"], ["I2C_0.SDA"], ["I2C_0.SCL"]],
    "C": [["ADC_0.AD0_IN%d" % n] for n in range(4)] + [["ADC_1.AD1_IN%d" % n] for n in range(4)],
    "D": [["*OCCS.EXTAL"], ["*OCCS.XTAL"], ["QT_A0.TA0"], ["QT_A1.TA1"], ["QT_A2.TA2"],
          ["QT_A3.TA3"], ["HSCMP_0.CMP0_O"], ["HSCMP_1.CMP1_O"]],
    "E": [["SCI_1.TXD"], ["SCI_1.RXD"], ["HSCMP_2.CMP2_O"], ["OCCS.CLKIN"], ["PGA_0.PGA0_IN"],
          ["PGA_1.PGA1_IN"]],
    "F": [["*SYS.TDI"], ["*SYS.TDO"], ["*SYS.TCK"], ["*SYS.TMS"]],
}


def template_fama(chip):
    b = Builder(chip, FAMA_PLAN)
    has = chip.has
    roots = [
        folder("Clocks", [b.node("OCCS", "OCCS", "NONE", "Clock generation and PLL", "OCCS")]),
        folder("System", [
            b.node("SYS", "SYS_FamA", "NONE",
                   "System integration: clock outputs, clock enables, pin selections", "SIM"),
            b.node("COP", "COP_FamA", "OCCS", "Watchdog", "COP"),
            b.node("PMC", "PMC", "NONE", "Power management and 1 kHz oscillator", "PMC"),
            b.node("CRC", "CRC", "NONE", "CRC generator", "CRC", vectors=[]),
        ]),
        folder("Interrupts", [intc_node(b, "WINTC", [])]),
        folder("Timers", [
            b.timer("A"),
            b.node("PIT0", "PIT", "OCCS", "Interval timer 0", "PIT"),
            b.node("PIT1", "PIT", "OCCS", "Interval timer 1", "PIT"),
            b.node("RTC", "RTC", "PMC", "Real-time counter", "RTC"),
            b.node("PWM", "PWM_FamA", "OCCS", "Pulse width modulator", "PWM"),
            b.node("PDB", "PDB", "NONE", "Programmable delay block", "PDB"),
        ]),
        folder("Communication", [
            b.node("SCI_0", "SCI", "OCCS", "Serial communication interface 0", "SCI"),
            b.node("SCI_1", "SCI", "OCCS", "Serial communication interface 1", "SCI")
            if has("SCI_1") else None,
            b.node("SPI_0", "SPI", "OCCS", "Serial peripheral interface", "SPI"),
            b.node("I2C_0", "I2C_FamA", "OCCS", "I2C bus controller", "I2C"),
        ]),
        folder("Analog", [
            b.node("ADC_0", "ADC_FamA", "OCCS", "Successive-approximation converter 0", "ADC"),
            b.node("ADC_1", "ADC_FamA", "OCCS", "Successive-approximation converter 1", "ADC")
            if has("ADC_1") else None,
            b.node("PGA_0", "PGA", "ADC_0", "Programmable gain amplifier 0", "PGA", vectors=[]),
            b.node("PGA_1", "PGA", "ADC_1", "Programmable gain amplifier 1", "PGA", vectors=[])
            if has("PGA_1") else None,
            b.node("HSCMP_0", "HSCMP", "NONE", "High-speed comparator 0", "HSCMP"),
            b.node("HSCMP_1", "HSCMP", "NONE", "High-speed comparator 1", "HSCMP"),
            b.node("HSCMP_2", "HSCMP", "NONE", "High-speed comparator 2", "HSCMP")
            if has("HSCMP_2") else None,
        ]),
        Node("Ports", "VOID"),
        folder("Drivers", [b.node("VMON", "VMON", "NONE", "Serial debug monitor driver",
                                  "VMON")]),
    ]
    roots = [r for r in roots if r is not None]
    add_gpio(b, roots, FAMA_PORTS, "SYS")
    return finish_intc(roots, FAMA_PLAN, "WINTC")


TEMPLATES = {
    "FamG": template_famg, "FamH": template_classic, "FamK": template_classic,
    "FamJ": template_classic, "FamB": template_famb, "FamC": template_famc,
    "FamE": template_new, "FamF": template_new, "FamD": template_new, "FamA": template_fama,
}

# ---------------------------------------------------------------------------------------------
# Checks that keep the files loadable: type keys of the registry, unique instance names,
# vectors unique and inside the family's table.

TYPE_KEYS = set("""PINOUT OCCS UNREC TRL TSN DEC DAC CMP SYS_V1 SYS_V2_Classic SYS_V2_FamB
SYS_FamA SYS_V2_FamC SEMI ADC SPI SCI I2C I2C_FamB GPIO PWM PIT EMPTY INTC QTALL QT YCAN LSCAN
VMON PMC PGA PDB ADC_FamA PWM_FamA HSCMP I2C_FamA RTC COP_FamA PWM_FamC PWMAll_FamC
PWM_FamC_SWLayer XBAR VREF_DAC SYS_FamE_FamF_FamD ADC_FamE AOI DMA CRC ENC EWM FTFL FMC MCM EVTG
EDMA FLASHOPT VOID PLUGINS""".split())


def dma_vectors(node):
    return [int(line.split("INT:")[1]) for line in node.info if ",INT:" in line]


def check(chip, roots, plan):
    names = set()
    vectors = []
    for root in roots:
        for node in root.walk():
            assert node.key in TYPE_KEYS, (chip.name, node.key)
            assert node.name not in names, (chip.name, node.name)
            names.add(node.name)
            vectors += node.ints
            if node.key == "DMA":
                vectors += dma_vectors(node)
    assert len(vectors) == len(set(vectors)), (chip.name, sorted(vectors))
    assert all(0 < v < plan.sources for v in vectors), chip.name


def plan_of(chip):
    if chip.family == "FamG":
        return FAMG_PLAN
    if chip.family in ("FamH", "FamK", "FamJ"):
        return classic_plan(chip)
    return {"FamB": FAMB_PLAN, "FamC": FAMC_PLAN, "FamA": FAMA_PLAN}.get(
        chip.family) or NEW_PLANS[chip.family]


# Package pages of the pin-out view (shipped in data/pinout, named relative to the program's
# folder): processor -> page. Processors without one have no pin-out node.
PINOUT_PAGES = {"K7Q3010": "pinout/K7Q3010-LQFP32.htm"}


def add_pinout(chip, roots):
    """Puts the pin-out view first in the Ports folder of a processor that has a page."""
    page = PINOUT_PAGES.get(chip.name)
    if not page:
        return
    node = Node("PINOUT", "PINOUT", "NONE", [], "Package pin-out, %s" % chip.package,
                "%s#GPIO" % MANUALS[chip.family], info=["PAGE=" + page, "CPUNAME=" + chip.name])
    for root in roots:
        if root.name == "Ports":
            root.children.insert(0, node)
            return
    roots.append(node)


def build(name):
    """The module tree of one processor (used by the example generator as well)."""
    entry = dict((n, e) for e, n in PROCESSORS)[name]
    chip = make_chip(entry, name)
    roots = TEMPLATES[chip.family](chip)
    add_pinout(chip, roots)
    check(chip, roots, plan_of(chip))
    return chip, roots


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "data", "arch"))
    args = parser.parse_args()
    assert len(PROCESSORS) == 96 and len(FEATURES) == 96
    os.makedirs(args.out, exist_ok=True)
    for _, name in PROCESSORS:
        chip, roots = build(name)
        with open(os.path.join(args.out, name + ".cfg"), "w", newline="\n") as out:
            out.write(render(chip, roots))
    print("wrote %d architecture files to %s" % (len(PROCESSORS), os.path.normpath(args.out)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
