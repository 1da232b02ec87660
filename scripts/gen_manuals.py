#!/usr/bin/env python3
"""Writes the manuals shipped in data/help: the tool's own manual ConfigTool.pdf and one
reference manual per processor family, each chapter reachable through a named destination and
an outline entry of the same name (the module help of the architecture files points at them:
"K7Q0800RM.pdf#OCCS").

The PDF objects are written by hand (standard library only) and the output is deterministic, so
the committed files change only when this script does. Run from anywhere:
    python3 scripts/gen_manuals.py
"""

import os
import re
import sys
import textwrap

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ARCH_DIR = os.path.join(ROOT, "data", "arch")
HELP_DIR = os.path.join(ROOT, "data", "help")

PAGE_WIDTH, PAGE_HEIGHT = 612, 792
MARGIN = 72
BODY_SIZE, HEADING_SIZE, TITLE_SIZE = 11, 18, 24
LEADING = 15
WRAP_COLUMNS = 88
LINES_PER_PAGE = 40


class Chapter:
    """One chapter: a named destination, its outline title and its paragraphs."""

    def __init__(self, destination, title, paragraphs):
        self.destination = destination
        self.title = title
        self.paragraphs = paragraphs


# ---------------------------------------------------------------------------------------------
# The tool's manual

TOOL_TITLE = "HWC Configuration Tool - User Guide"
TOOL_SUBTITLE = "K7Q400R/EX Hexaform peripheral configuration"

TOOL_CHAPTERS = [
    Chapter("Introduction", "Introduction", [
        "HWC configures the on-chip peripherals of the K7Q400R/EX Hexaform 16-bit DSP "
        "controllers. The result is kept in the C header appconfig.h of your firmware project: "
        "the header is both the project file and the output. HWC reads it back, keeps every "
        "line you wrote yourself before and after the generated part, and writes it again when "
        "you save.",
        "Open a project by naming the header file, or a folder that holds "
        "ApplicationConfig/appconfig.h or appconfig.h. The processor is identified from the "
        "processor macro in the header; the module tree is built from the architecture file of "
        "that processor, which lies beside the program.",
    ]),
    Chapter("MainWindow", "Main Window", [
        "The main window shows the module tree on the left and the page of the selected module "
        "on the right. A check mark in front of a module selects it for output: only checked "
        "modules write their definitions into the header.",
        "The tool bar and the File menu hold Open, Save, Save As and Save Copy As. The Back and "
        "Forward buttons move through the pages shown before. The title bar shows the project "
        "name and the header file. Closing the window asks whether changes should be saved.",
        "Only one instance works on a project at a time: opening a project that another "
        "instance holds brings that instance's window to the front.",
    ]),
    Chapter("ModulePages", "Module Pages", [
        "Each peripheral module has a page of settings: check boxes for single register bits, "
        "lists for bit fields, edit boxes for values with their allowed range, and derived "
        "values such as clock rates and times computed from the settings as you change them.",
        "Interrupt rows at the bottom of a page enable the module's interrupt vectors, name the "
        "service routine and set the priority. The pin status line tells whether the module's "
        "signals reach device pins; its link routes missing signals to their first pin.",
        "Blue underlined texts are links: they move to the page and control they name. A value "
        "that is out of range is reported when you leave the control, and the page cannot be "
        "left until it is corrected.",
    ]),
    Chapter("Bars", "Bars: Registers, Warnings and Information", [
        "The Registers bar lists the registers of the module shown, with their current values. "
        "Values can be shown in hexadecimal or decimal form, and a register can be edited in "
        "place; the page follows the change at once.",
        "The Warnings bar lists every inconsistency the modules find, such as a clock above its "
        "limit or an interrupt without a service routine. Double-clicking a warning shows the "
        "page and control concerned. The information view shows the target processor and its "
        "system and peripheral bus clocks.",
    ]),
    Chapter("Options", "Options", [
        "File > HWC Options sets what the header contains. Generate detailed comments writes a "
        "summary of each module's settings into its comment block. Preserve user comments keeps "
        "the comments you wrote after generated definitions. Generate all register values "
        "writes definitions even where they equal the reset value; it is stored in the project "
        "itself. With Set as default checked, the choices also apply to projects opened later.",
    ]),
    Chapter("Manuals", "Manuals", [
        "Help > Configuration Tool Help opens this guide. Current Module Help opens the chapter "
        "of the processor reference manual that describes the module shown. The manuals are "
        "kept in the help folder beside the program and open in the built-in viewer, which can "
        "also hand the file to your own PDF reader.",
    ]),
    Chapter("CommandLine", "Command Line", [
        "hwc [PROJECT] [/selftest] [/reprocess]",
        "PROJECT is a header file or a folder; without it the current folder is opened. "
        "/selftest runs the self-test of every module page after opening and appends its log to "
        "hwc_selftest.log. /reprocess opens the project, saves it and exits, which regenerates "
        "the header after an update of the tool. Flags may start with / or -, in any case.",
        "hwc-batch performs the same work without a window: reprocess, check, registers, page, "
        "set and selftest, as build servers need them. Messages go to standard error.",
    ]),
]

# ---------------------------------------------------------------------------------------------
# The processor reference manuals

CHAPTER_TITLES = {
    "ADC": "Analog-to-Digital Converter", "ADC16": "16-bit Analog-to-Digital Converter",
    "AOI": "And-Or-Invert Logic", "CAN": "CAN Controller", "CMP": "Comparator",
    "COP": "Computer Operating Properly Watchdog", "CRC": "CRC Generator",
    "DAC": "Digital-to-Analog Converter", "DEC": "Decoder Interface", "DMA": "DMA Controller",
    "EDMA": "Enhanced DMA Controller", "EMI": "External Memory Interface",
    "ENC": "Quadrature Decoder", "EVTG": "Event Generator", "EWM": "External Watchdog Monitor",
    "FCF": "Flash Configuration Field", "FMC": "Flash Memory Controller",
    "FTFL": "Flash Memory Module", "GPIO": "General-Purpose Input/Output",
    "HSCMP": "High-Speed Comparator", "I2C": "Inter-Integrated Circuit Interface",
    "INTC": "Interrupt Controller", "MCM": "Miscellaneous Control Module",
    "OCCS": "On-Chip Clock Synthesis", "PDB": "Programmable Delay Block",
    "PGA": "Programmable Gain Amplifier", "PIT": "Programmable Interval Timer",
    "PMC": "Power Management Controller", "PWM": "Pulse Width Modulator",
    "RTC": "Real-Time Counter", "SCI": "Serial Communication Interface",
    "SIM": "System Integration Module", "SPI": "Serial Peripheral Interface",
    "TMR": "Quad Timer", "TRL": "Trim Registers", "TSENSOR": "Temperature Sensor",
    "VMON": "Voltage Monitor", "VREF": "Voltage Reference", "XBAR": "Inter-Peripheral Crossbar",
}

HELP_REFERENCE = re.compile(r'"([A-Za-z0-9_]+\.pdf)#([^"#]*)"')


def manual_chapters_from_arch():
    """Manual file -> sorted destinations, from the help references of the architecture files."""
    manuals = {}
    for name in sorted(os.listdir(ARCH_DIR)):
        if not name.endswith(".cfg"):
            continue
        with open(os.path.join(ARCH_DIR, name), encoding="latin-1") as cfg:
            for match in HELP_REFERENCE.finditer(cfg.read()):
                destination = match.group(2).strip()
                if destination:
                    manuals.setdefault(match.group(1), set()).add(destination)
    return {manual: sorted(dests) for manual, dests in sorted(manuals.items())}


def processor_chapters(family, destinations):
    chapters = [Chapter("Overview", "Overview", [
        "This reference manual describes the on-chip peripherals of the %s processors of the "
        "K7Q400R/EX Hexaform family. Each chapter covers one peripheral module: its function, "
        "its registers and their reset values, and its interrupts." % family,
        "Register names follow the definitions that the HWC configuration tool writes into "
        "appconfig.h: the module instance name, an underscore and the register name with the "
        "suffix _INIT.",
    ])]
    for destination in destinations:
        title = CHAPTER_TITLES.get(destination, destination + " Module")
        chapters.append(Chapter(destination, "%s - %s" % (destination, title), [
            "The %s (%s) module of the %s processors is configured through its control and "
            "status registers. All settings take effect when the initialisation code writes "
            "the values that HWC generates; registers left at their reset value are omitted "
            "from appconfig.h unless all values are generated." % (title, destination, family),
            "Interrupt sources of the module are enabled in its own registers and routed by "
            "the interrupt controller, where each vector receives its priority level. Clocks "
            "of the module derive from the peripheral bus clock unless the chapter of the "
            "clock generation module states otherwise.",
        ]))
    return chapters


# ---------------------------------------------------------------------------------------------
# PDF writing


def pdf_string(text):
    """A literal string in PDFDocEncoding (the texts here are ASCII)."""
    text.encode("ascii")
    return "(" + text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ")"


def layout_pages(title, subtitle, chapters):
    """Page contents as lists of (font size, text) lines; chapter -> first page index."""
    pages = [[(TITLE_SIZE, title), (BODY_SIZE, ""), (HEADING_SIZE, subtitle), (BODY_SIZE, ""),
              (BODY_SIZE, "Contents")]]
    for number, chapter in enumerate(chapters, 1):
        pages[0].append((BODY_SIZE, "%d  %s" % (number, chapter.title)))
    first_page = {}
    for number, chapter in enumerate(chapters, 1):
        lines = [(HEADING_SIZE, "%d  %s" % (number, chapter.title)), (BODY_SIZE, "")]
        for paragraph in chapter.paragraphs:
            lines += [(BODY_SIZE, row) for row in textwrap.wrap(paragraph, WRAP_COLUMNS)]
            lines.append((BODY_SIZE, ""))
        first_page[chapter.destination] = len(pages)
        while lines:
            pages.append(lines[:LINES_PER_PAGE])
            lines = lines[LINES_PER_PAGE:]
    return pages, first_page


def page_stream(lines, page_number, footer):
    ops = ["BT", "%d TL" % LEADING, "%d %d Td" % (MARGIN, PAGE_HEIGHT - MARGIN)]
    for size, text in lines:
        ops.append("/F1 %d Tf" % size)
        ops.append("%s Tj T*" % pdf_string(text))
        if size > BODY_SIZE:
            ops.append("T*")
    ops.append("ET")
    ops.append("BT /F1 9 Tf %d %d Td %s Tj ET" % (MARGIN, MARGIN // 2,
                                                  pdf_string("%s - page %d" % (footer, page_number))))
    return "\n".join(ops) + "\n"


def build_pdf(title, subtitle, chapters):
    pages, first_page = layout_pages(title, subtitle, chapters)
    objects = {}
    # Fixed object numbers: 1 catalog, 2 page tree, 3 font, 4 outline root, 5 info; then two
    # per page (page, contents) and one per outline entry.
    page_ids = [6 + 2 * i for i in range(len(pages))]
    outline_ids = [6 + 2 * len(pages) + i for i in range(len(chapters))]

    def destination(chapter):
        return "[%d 0 R /XYZ null null null]" % page_ids[first_page[chapter.destination]]

    names = sorted((c.destination, destination(c)) for c in chapters)
    objects[1] = ("<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R /PageMode /UseOutlines "
                  "/Names << /Dests << /Names [%s] >> >> >>"
                  % " ".join("%s %s" % (pdf_string(n), d) for n, d in names))
    objects[2] = "<< /Type /Pages /Kids [%s] /Count %d >>" % (
        " ".join("%d 0 R" % i for i in page_ids), len(pages))
    objects[3] = ("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                  "/Encoding /WinAnsiEncoding >>")
    objects[4] = "<< /Type /Outlines /First %d 0 R /Last %d 0 R /Count %d >>" % (
        outline_ids[0], outline_ids[-1], len(chapters))
    objects[5] = "<< /Title %s /Creator (HWC manual generator) >>" % pdf_string(title)
    for index, (page_id, lines) in enumerate(zip(page_ids, pages)):
        stream = page_stream(lines, index + 1, title)
        objects[page_id] = ("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %d %d] "
                            "/Resources << /Font << /F1 3 0 R >> >> /Contents %d 0 R >>"
                            % (PAGE_WIDTH, PAGE_HEIGHT, page_id + 1))
        objects[page_id + 1] = "<< /Length %d >>\nstream\n%sendstream" % (len(stream), stream)
    for index, (outline_id, chapter) in enumerate(zip(outline_ids, chapters)):
        links = ""
        if index > 0:
            links += " /Prev %d 0 R" % outline_ids[index - 1]
        if index + 1 < len(outline_ids):
            links += " /Next %d 0 R" % outline_ids[index + 1]
        objects[outline_id] = "<< /Title %s /Parent 4 0 R%s /Dest %s >>" % (
            pdf_string(chapter.title), links, destination(chapter))

    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for number in sorted(objects):
        offsets[number] = len(out)
        out += ("%d 0 obj\n%s\nendobj\n" % (number, objects[number])).encode("latin-1")
    xref = len(out)
    count = max(objects) + 1
    out += ("xref\n0 %d\n0000000000 65535 f \n" % count).encode("ascii")
    for number in range(1, count):
        out += ("%010d 00000 n \n" % offsets[number]).encode("ascii")
    out += ("trailer\n<< /Size %d /Root 1 0 R /Info 5 0 R >>\nstartxref\n%d\n%%%%EOF\n"
            % (count, xref)).encode("ascii")
    return bytes(out)


def write(name, data):
    path = os.path.join(HELP_DIR, name)
    with open(path, "wb") as pdf:
        pdf.write(data)
    print("wrote %s (%d bytes)" % (os.path.relpath(path, ROOT), len(data)))


def main():
    os.makedirs(HELP_DIR, exist_ok=True)
    write("ConfigTool.pdf", build_pdf(TOOL_TITLE, TOOL_SUBTITLE, TOOL_CHAPTERS))
    for manual, destinations in manual_chapters_from_arch().items():
        family = manual[:-len("RM.pdf")] if manual.endswith("RM.pdf") else manual[:-4]
        title = "%s Reference Manual" % family
        write(manual, build_pdf(title, "K7Q400R/EX Hexaform peripheral modules",
                                processor_chapters(family, destinations)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
