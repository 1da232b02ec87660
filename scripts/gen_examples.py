#!/usr/bin/env python3
"""Writes the example projects examples/<processor>-<purpose>/ApplicationConfig/appconfig.h.

Each example is a small description (processor, clocks, register values, the user's own text);
the header is produced in the shape the configuration tool writes when it saves a project, with
the modules in the order of the processor's architecture file (scripts/gen_arch.py), their
default values taken from the register tables below and the reset values of that file.
The examples are committed; run this script again after changing a description or a table.

Usage: scripts/gen_examples.py [--out DIR]      Standard library only.
"""

import argparse
import datetime
import os
import sys

sys.dont_write_bytecode = True  # keep the scripts folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_arch  # noqa: E402  (the architecture trees the examples must match)
import gen_intc_tables  # noqa: E402  (the interrupt sources and what each one writes)

# Register flags, as the definition tables use them.
DW8, DW16, DW32 = 0x1, 0x2, 0x4
NODEFAULT, NOVALUE, STRVALUE, DECVALUE = 0x10, 0x40, 0x80, 0x200
INTERNAL, DUMMYREG, NOSHOWLIST, USERDEFINE = 0x1000, 0x4000, 0x8000, 0x40000
HIDDEN = DUMMYREG | NOSHOWLIST
PARAM8 = DW8 | DECVALUE | USERDEFINE
PARAM32 = DW32 | DECVALUE | USERDEFINE
TEXT = DW8 | STRVALUE | USERDEFINE

HWC_VERSION = "0x01000000L"

# ---------------------------------------------------------------------------------------------
# Register tables by type key: each returns [(name, default, flags)] for the processor, in the
# order the module writes them. Where the family decides a register's presence it is kept with
# DUMMYREG, as the modules keep item positions fixed.


def fam(chip, *families):
    return chip.family in families


def relaxation_oscillator(chip):
    # FamD runs its 8 MHz clock from the 48 MHz oscillator, which has no trimming.
    return (chip.entry in (0, 1, 7, 8, 69, 105) or
            fam(chip, "FamJ", "FamB", "FamC", "FamE", "FamF"))


def t_occs(chip):
    relax = relaxation_oscillator(chip)
    trim = 0 if relax else HIDDEN
    if fam(chip, "FamG"):
        return [("PLLCR_INIT", 0x11, DW16 | NODEFAULT), ("PLLDB_INIT", 0x2013, DW16 | NODEFAULT),
                ("IOSCTL_INIT", 0x80, DW16 | (0 if relax else DUMMYREG)),
                ("_dummy_", 0x80, HIDDEN), ("REQUIRED_LOCK_MODE", 0x40, DW16),
                ("USE_FACTORY_TRIM", 0, PARAM8 | trim),
                ("RXOSC_RETRIM_CLK", 0x7A1200, PARAM32 | trim),
                ("-COP_COPCTL_INIT", 0, DW16), ("-COP_COPTO_INIT", 0xFFF, DW16),
                ("CLKOSR_INIT", 0, DW16)]
    if fam(chip, "FamH", "FamK", "FamJ", "FamB"):
        famj = fam(chip, "FamJ", "FamB")
        osctl = 0x1200 if relax else 0
        table = [("PLLCR_INIT", 0x11, DW16), ("PLLDB_INIT", 0x2000 if famj else 0x201D, DW16),
                 ("OSCTL_INIT", osctl, DW16 | (DUMMYREG if chip.entry == 5 else 0))]
        if famj:
            table.append(("PROT_INIT", 0, DW16 | (0 if fam(chip, "FamB") else HIDDEN)))
        else:
            table.append(("_dummy_", 0x80, HIDDEN))
        table += [("REQUIRED_LOCK_MODE", 0x40 if chip.entry == 5 else 0x20, DW8),
                  ("USE_FACTORY_TRIM", 0, PARAM8 | trim),
                  ("RXOSC_RETRIM_CLK", 0x7A1200, PARAM32 | trim),
                  ("-COP_COPCTL_INIT", 0, DW16), ("-COP_COPTO_INIT", 0xFFFF, DW16)]
        return table
    watchdog = [("-COP_COPCTL_INIT", 0x302, DW16 | HIDDEN),
                ("-COP_COPTO_INIT", 0xFFFF, DW16 | HIDDEN)]
    if fam(chip, "FamA", "FamC"):
        return ([("CTRL_INIT", 0x11, DW16 | NODEFAULT),
                 ("DIVBY_INIT", 0x2000 if fam(chip, "FamA") else 0x201D, DW16 | NODEFAULT),
                 ("OSCTL_INIT", 0x1600, DW16), ("PROT_INIT", 0, DW16),
                 ("REQUIRED_LOCK_MODE", 0x20, DW8), ("USE_FACTORY_TRIM", 0, PARAM8 | trim),
                 ("RXOSC_RETRIM_CLK", 0x7A1200, PARAM32 | trim)] + watchdog +
                [("_dummy_", 0x80, HIDDEN)])
    famd = fam(chip, "FamD")
    return ([("CTRL_INIT", 0x10, DW16 | NODEFAULT), ("DIVBY_INIT", 0x2031, DW16 | NODEFAULT),
             ("OSCTL1_INIT", 0x8620 if famd else 0x620, DW16), ("PROT_INIT", 0, DW16),
             ("REQUIRED_LOCK_MODE", 0x20, DW8), ("USE_FACTORY_TRIM", 0, PARAM8 | trim),
             ("RXOSC_RETRIM_CLK", 0x7A1200, PARAM32 | trim)] + watchdog +
            [("_dummy_", 0x80, HIDDEN), ("OSCTL2_INIT", 0xC100, DW16),
             ("USE_FACTORY_TRIM_TEMP", 0, PARAM8 | (HIDDEN if famd else 0)),
             ("USE_FACTORY_TRIM_200K" if famd else "USE_FACTORY_TRIM_32K", 0, PARAM8)])


def t_sys(chip):
    if fam(chip, "FamG"):
        return [("-SYS_CNTL_INIT", 0, DW16), ("-BCR_INIT", 0, DW16)]

    def sim(*names):
        # Names starting with "_" keep positions of registers a layout lacks.
        return [(name, 0, DW16 | HIDDEN) if name.startswith("_")
                else ("-SIM_%s_INIT" % name, 0, DW16) for name in names]

    if fam(chip, "FamE", "FamF", "FamD"):
        table = sim("CONROL", "PWR", "CLKOSR", "SWC", "PROT",
                    *["GPS%s%s" % (p, h) for p in "ABCDEFG" for h in "LH"],
                    "PCE0", "PCE1", "PCE2", "PCE3", "SD0", "SD1", "SD2", "SD3", "IPS0", "MISC0",
                    "PSWR0", "PSWR1", "PSWR2", "PSWR3", "PCR", "ADCTRG")
        if fam(chip, "FamD"):
            table[28] = ("-SIM_MISC0_INIT", 0x0040, DW16)  # the 48 MHz oscillator runs
        return table
    if fam(chip, "FamA"):
        return sim("CONROL", "PWR", "CLKOSR", "SWC", "PROT", "PCE", "SD", "IOSAHI", "IOSALO",
                   "GPSA", "GPSB", "GPSCL", "GPSCH", "GPSD", "IPS", "PCR", "ISALH", "ISAL")
    if fam(chip, "FamB"):
        return sim("CONROL", "___PUDR___", "CLKOSR", "PCR", "PROT", "GPSA", "GPSB", "GPSC",
                   "GPSD", "PCE0", "PCE1", "SD0", "SD1", "IOSAHI", "IOSALO", "SWC", "IPS0",
                   "IPS1", "IPS2")
    if fam(chip, "FamC"):
        return sim("CONROL", "PWR", "CLKOSR", "SWC", "PROT", "GPSA", "GPSB", "GPSC", "IPS0",
                   "IPS1", "PCR", "PCE0", "PCE1", "PCE2", "SD0", "SD1", "SD2")
    # The two smallest processors keep only the first registers.
    table = sim("CONROL", "_dummy_", "CLKOSR", "PCR", "PCE", "GPSA", "GPSB", "SD")
    return table[:{5: 1, 6: 5}.get(chip.entry, len(table))]


def t_intc(chip):
    flags = gen_intc_tables.source_flags(chip)
    if fam(chip, "FamG"):
        irqb = 0 if chip.has("IRQB") else HIDDEN
        fixed = [("-IRQA_ENABLED", 0, DW8 | DECVALUE),
                 ("-IRQB_ENABLED", 0, DW8 | DECVALUE | irqb),
                 ("-IRQA_TRIGGER", 0, DW8 | STRVALUE),
                 ("-IRQB_TRIGGER", 0, DW8 | STRVALUE | irqb)]
    elif fam(chip, "FamA"):
        fixed = [("ICSR_INIT", 0, DW16 | NODEFAULT), ("IAR0_INIT", 0, DW16),
                 ("IAR1_INIT", 0, DW16), ("IAR2_INIT", 0, DW16),
                 ("FASTINT_ENABLE", 0, DW8 | DECVALUE)]
    else:
        fixed = [("ICTL_INIT", 0, DW16 | NODEFAULT), ("FIM0_INIT", 0, DW16 | DECVALUE),
                 ("FIM1_INIT", 0, DW16 | DECVALUE), ("FIVA0_INIT", 0, DW8 | STRVALUE),
                 ("FIVA1_INIT", 0, DW8 | STRVALUE)]
    rows = []
    for source, flag in enumerate(flags):
        # A fixed routine or a fixed (or missing) priority is not written.
        rows.append(("-INT_VECTOR_ADDR_%d" % source, 0, DW8 | STRVALUE |
                     (HIDDEN if flag & 0x1 else 0)))
        rows.append(("-INT_PRIORITY_LEVEL_%d" % source, 0, DW8 | STRVALUE | NOSHOWLIST |
                     (DUMMYREG if flag & 0x6 else 0)))
    return fixed + rows


def t_gpio(chip):
    count = {"FamG": 6, "FamH": 7, "FamK": 7, "FamJ": 8, "FamB": 8, "FamC": 8, "FamA": 10}.get(
        chip.family, 11)
    newer = fam(chip, "FamE", "FamF", "FamD")
    table = [("PUR_INIT", 0xFF, DW16), ("DDR_INIT", 0, DW16), ("PER_INIT", 0xFF, DW16 | NODEFAULT),
             ("IENR_INIT", 0, DW16), ("IPOLR_INIT", 0, DW16), ("DR_INIT", 0, DW16),
             ("PPMODE_INIT", 0, DW16), ("DRIVE_INIT", 0, DW16),
             ("IFE_INIT", 0xFFFF, DW16 | (HIDDEN if newer else 0)),
             ("SRE_INIT" if newer else "SLEW_INIT", 0, DW16), ("PUS_INIT", 0xFFFF, DW16)]
    return table[:count]


def t_qt(chip):
    count = 6 if fam(chip, "FamG") or chip.entry == 5 else 9
    if fam(chip, "FamB", "FamA", "FamC"):
        count = 11
    if fam(chip, "FamE", "FamF", "FamD"):
        count = 12
    names = ["CTRL", "SCR", "CMP1", "CMP2", "LOAD", "CNTR", "CMPLD1", "CMPLD2", "COMSCR", "FILT",
             "ENBL", "DMA"]
    return [("%s_INIT" % name, 0, DW16) for name in names[:count]]


def t_pwm(chip):
    names = ["PMCTL", "PMFCTL", "PMOUT", "PWMCM"] + ["PWMVAL%d" % n for n in range(6)] + [
        "PMDEADTM", "PMDISMAP1", "PMDISMAP2", "PMCFG", "PMCCR", "PMPORT", "PMFSA"]
    if fam(chip, "FamB"):
        names += ["PMDEADTM1", "PMICCR", "PMSRC", "PMSYNC", "PMCTL2", "PMFCTL2", "PMENCR", "PMFSA2"]
    elif not fam(chip, "FamG"):
        names += ["PMDEADTM1", "PMICCR", "PMSRC"]
    return [("%s_INIT" % name, 0, DW16) for name in names]


def t_adc(chip):
    table = [("ADCR1_INIT", 0x5005, DW16 | NODEFAULT), ("ADCR2_INIT", 0x0002, DW16),
             ("ADZCC_INIT", 0, DW16), ("ADLST1_INIT", 0x3210, DW16),
             ("ADLST2_INIT", 0x7654, DW16)]
    if fam(chip, "FamE", "FamF", "FamD"):
        table += [("ADLST3_INIT", 0xBA98, DW16), ("ADLST4_INIT", 0xFEDC, DW16)]
    table += [("ADSDIS_INIT", 0, DW16)]
    samples = 16 if fam(chip, "FamE", "FamF", "FamD") else 8
    table += [("ADLLMT%d_INIT" % n, 0, DW16) for n in range(samples)]
    table += [("ADHLMT%d_INIT" % n, 0x7FF8, DW16) for n in range(samples)]
    table += [("ADOFS%d_INIT" % n, 0, DW16) for n in range(samples)]
    if fam(chip, "FamE", "FamF", "FamD"):
        table += [("ADPWR_INIT", 0x01A7, DW16), ("ADCAL_INIT", 0, DW16),
                  ("ADPWR2_INIT", 0x0200, DW16), ("ADCTRL3_INIT", 0, DW16),
                  ("ADSCHLMTEN_INIT", 0, DW16)]
    return table


def t_sci(chip):
    table = [("SCIBR_INIT", 0x40, DW16), ("SCICR_INIT", 0, DW16 | NODEFAULT),
             ("SCICR2_INIT", 0, DW16 | NODEFAULT), ("HIGHLEVEL_MODE", 0, PARAM8),
             ("RX_BUFFER_OKLIMIT", 0xF, DW16 | NODEFAULT | USERDEFINE),
             ("RX_BUFFER_LOWLIMIT", 0xA, DW16 | NODEFAULT | USERDEFINE),
             ("RX_BUFFER_SIZE", 0, DW8 | USERDEFINE), ("TX_BUFFER_SIZE", 0, DW8 | USERDEFINE),
             ("RX_XONXOFF", 0, DW8 | USERDEFINE), ("-SCIxCHAR", 1, TEXT | NODEFAULT)]
    table += [(hook, 0, TEXT) for hook in ("RX_CHAR_HOOK", "RX_ERROR_HOOK", "TX_CHAR_HOOK",
                                           "RX_FINISHED_HOOK", "TX_FINISHED_HOOK",
                                           "RX_LOWBUFFER_HOOK")]
    if fam(chip, "FamE", "FamF", "FamD"):
        table.append(("SCICR3_INIT", 0, DW16 | NODEFAULT))
    return table


def t_trl(chip):
    switch, number = NOVALUE | USERDEFINE, DW16 | DECVALUE | USERDEFINE
    return [("INCLUDE_CMD_SCOPE", 0, switch), ("INCLUDE_CMD_RECORDER", 0, switch),
            ("INCLUDE_CMD_APPCMD", 0, switch), ("SCOPE_MAX_VARS", 8, number),
            ("REC_MAX_VARS", 8, number), ("REC_BUFFER_SIZE", 256, number),
            ("APPCMD_BUFFER_SIZE", 32, number), ("COMM_BUFFER_SIZE", 32, number),
            ("COMM_MODULE_SCI0", 0, switch), ("COMM_MODULE_SCI1", 0, switch),
            ("COMM_MODULE_JTAG", 0, switch)]


def t_spi(chip):
    fifo = 0 if fam(chip, "FamB", "FamC", "FamE", "FamF", "FamD") else HIDDEN
    ctl2 = 0 if fam(chip, "FamE", "FamF", "FamD") else HIDDEN
    if fam(chip, "FamG"):
        head = [("SPDSR_INIT", 0, DW16), ("SPSCR_INIT", 0, DW16 | NODEFAULT)]
    else:
        head = [("SPDSCR_INIT", 0xF, DW16), ("SPSCR_INIT", 0x6140, DW16)]
    return head + [("FIFO_INIT", 0, DW16 | fifo), ("DELAY_INIT", 0, DW16 | fifo),
                   ("SPCTL2_INIT", 0, DW16 | ctl2), ("HIGHLEVEL_MODE", 0, PARAM8)] + [
        (hook, 0, TEXT) for hook in ("ERROR_HOOK", "RX_CHAR_HOOK", "TX_CHAR_HOOK",
                                     "RX_FINISHED_HOOK", "TX_FINISHED_HOOK")]


def t_i2c(chip):
    return [("CTRL_INIT", 0, DW16 | NODEFAULT), ("ADDR_INIT", 0, DW16), ("FDIV_INIT", 0, DW16),
            ("NFILT_INIT", 0, DW16)]


def t_i2c_fama(chip):
    table = [("IICF_INIT", 0, DW8 | NODEFAULT)] + [
        ("%s_INIT" % name, 0, DW8) for name in ("IICA1", "IICA2", "IICC1", "IICC2", "IICSMB",
                                                "IICSLTH", "IICSLTL")]
    if fam(chip, "FamC", "FamE", "FamF", "FamD"):
        table.append(("IICFILT_INIT", 0, DW8))
    if fam(chip, "FamE", "FamF", "FamD"):
        table.append(("IICRA_INIT", 0, DW8))
    return table


def t_i2c_famb(chip):
    return [("ENBL_INIT", 0, DW16 | NODEFAULT), ("CTRL_INIT", 0x24, DW16 | NODEFAULT),
            ("SAR_INIT", 0x55, DW16), ("RXFT_INIT", 0x3, DW16), ("TXFT_INIT", 0, DW16),
            ("SSHCNT_INIT", 0x9B, DW16 | NODEFAULT), ("SSLCNT_INIT", 0x9C, DW16 | NODEFAULT),
            ("FSHCNT_INIT", 0x23, DW16 | NODEFAULT), ("FSLCNT_INIT", 0x24, DW16 | NODEFAULT),
            ("IENBL_INIT", 0x8FF, DW16)]


def t_dac(chip):
    if fam(chip, "FamE", "FamF", "FamD"):
        table = [("CTRL_INIT", 0x1101, DW16 | NODEFAULT), ("DATA_INIT", 0, DW16),
                 ("STEP_INIT", 0, DW16), ("MINVAL_INIT", 0, DW16), ("MAXVAL_INIT", 0xFFFF, DW16),
                 ("CTRL1_INIT", 0x1D, DW16 | NODEFAULT)]
        if fam(chip, "FamD"):
            table.append(("COMPARE_INIT", 0, DW16))
        return table
    return [("CTRL_INIT", 0xF001, DW16 | NODEFAULT), ("DATA_INIT", 0, DW16),
            ("STEP_INIT", 0, DW16), ("MINVAL_INIT", 0, DW16), ("MAXVAL_INIT", 0xFFFF, DW16)]


def t_cop(chip):
    table = [("COPCTL_INIT", 0x302, DW16 | NODEFAULT), ("COPTO_INIT", 0xFFFF, DW16)]
    if fam(chip, "FamE", "FamF", "FamD"):
        table.append(("INTVAL_INIT", 0xFF, DW16))
    if fam(chip, "FamF", "FamD"):
        table.append(("WINDOW_INIT", 0xFFFF, DW16))
    return table


def t_hscmp(chip):
    newer = fam(chip, "FamE", "FamF", "FamD")
    table = [("CR0_INIT", 0, DW16), ("CR1_INIT", 0, DW16), ("FPR_INIT", 0, DW16),
             ("SCR_INIT", 0, DW16), ("PCR_INIT", 0, DW16 | (0 if newer else HIDDEN))]
    if newer:
        table += [("DACCR_INIT", 0, DW16), ("MUXCR_INIT", 0, DW16)]
    return table


def t_pdb(chip):
    if fam(chip, "FamE"):
        return [("MCTRL_INIT", 0, DW16), ("DELAYA_INIT", 0, DW16), ("DELAYB_INIT", 0, DW16),
                ("MOD_INIT", 0xFFFF, DW16), ("CTRLA_INIT", 0, DW16), ("CTRLC_INIT", 0, DW16),
                ("DELAYC_INIT", 0, DW16), ("DELAYD_INIT", 0, DW16)]
    return [("-PDB_SCR_INIT", 0, DW16), ("-PDB_DELAYA_INIT", 0, DW16),
            ("-PDB_DELAYB_INIT", 0, DW16), ("-PDB_MOD_INIT", 0xFFFF, DW16)]


def t_crc(chip):
    if fam(chip, "FamE", "FamD"):
        return [("GPOLY_INIT", 0, DW32), ("CTRL_INIT", 0, DW32)]
    return [("CRCH_INIT", 0, DW16), ("CRCL_INIT", 0, DW16)]


def t_ftfl(chip):
    table = [("FCNFG_INIT", 0, DW8)] + [("FPROT%d_INIT" % n, 0xFF, DW8) for n in range(4)]
    if fam(chip, "FamE"):
        table += [("FEPROT_INIT", 0xFF, DW8), ("FDPROT_INIT", 0xFF, DW8)]
    if fam(chip, "FamD"):
        table.append(("FERCNFG_INIT", 0, DW8))
    return table


def t_mcm(chip):
    table = [("CPCR_INIT", 0, DW32), ("CFIER_INIT", 0, DW32), ("RPCR_INIT", 0, DW32),
             ("UFLASHBAR_INIT", 0, DW32), ("CPCR2_INIT", 0x00000F00, DW32),
             ("SRPOSP_INIT", 0, DW32)]
    if fam(chip, "FamD"):
        table.append(("UBROMBAR_INIT", 0, DW32))
    return table


def t_flashopt(chip):
    table = [("NV_BACKKEY%d_INIT" % n, 0xFF, DW8 | NODEFAULT) for n in range(8)]
    table += [("NV_FPROT%d_INIT" % n, 0xFF, DW8 | NODEFAULT) for n in range(4)]
    table += [("NV_FSEC_INIT", 0xFE, DW8 | NODEFAULT), ("NV_FOPT_INIT", 0xFF, DW8 | NODEFAULT),
              ("BLDR_PERIPHERALS_INIT", 0xFF, DW8 | NODEFAULT),
              ("BLDR_IIC_ADR_INIT", 0xFF, DW8 | NODEFAULT),
              ("BLDR_TOUT_INIT", 0xFFFF, DW16 | NODEFAULT),
              ("BLDR_CAN1_CFG_INIT", 0xFFFF, DW16 | NODEFAULT),
              ("BLDR_CAN2_CFG_INIT", 0xFFFF, DW16 | NODEFAULT),
              ("BLDR_CAN_TX_ID_INIT", 0x123, DW16 | NODEFAULT),
              ("BLDR_CAN_RX_ID_INIT", 0x321, DW16 | NODEFAULT),
              ("CRC_START_APP_INIT", 0xFFFFFFFF, DW32 | NODEFAULT),
              ("CRC_BYTE_COUNT_INIT", 0xFFFFFFFF, DW32 | NODEFAULT),
              ("CRC_EXP_VAL_INIT", 0xFFFFFFFF, DW32 | NODEFAULT)]
    return table


def t_semi(chip):
    # Bus control, then the base, option and timing registers of chip selects 0 to 7.
    table = [("BCR_INIT", 0, DW16)]
    for register in ("CSBAR", "CSOR", "CSTC"):
        table += [("%s%d_INIT" % (register, n), 0, DW16) for n in range(8)]
    return table


def t_ycan(chip):
    if fam(chip, "FamE", "FamD"):
        names = ["MCR", "CTRL1", "CTRL2", "RXMGMASK", "RX14MASK", "RX15MASK", "RXFGMASK", "ECR",
                 "IMASK1", "IMASK2", "MECR", "RXFIR"]
        if fam(chip, "FamD"):
            names += ["CBT", "FDCTRL", "FDCBT"]
        return [("%s_INIT" % name, 0, DW32 | (NODEFAULT if name == "MCR" else 0))
                for name in names]
    names = ["MCR", "CTL0", "CTL1", "MAXMB", "RXGMASK_H", "RXGMASK_L", "RX14MASK_H",
             "RX14MASK_L", "RX15MASK_H", "RX15MASK_L"]
    return [("%s_INIT" % name, 0, DW16) for name in names]


def t_lscan(chip):
    names = ["CANCTL0", "CANCTL1", "CANBTR0", "CANBTR1", "CANRIER", "CANTIER", "CANIDAC"]
    names += ["CANIDAR%d" % n for n in range(8)] + ["CANIDMR%d" % n for n in range(8)]
    return [("%s_INIT" % name, 0, DW8) for name in names]


def t_pwmall(chip):
    # The example instances are "PWM" and "PWM_A", which keep the names without their prefix.
    names = ["MCTRL"] + (["MCTRL2"] if fam(chip, "FamE", "FamF", "FamD") else []) + [
        "OUTEN", "MASK", "SWCOUT", "DTSRCSEL", "FCTRL0", "FSTS0", "FFILT0", "FTST0"]
    return [("-PWM_A_%s_INIT" % name, 0, DW16) for name in names]


def t_pwm_famc(chip):
    table = [("CTRL_INIT", 0x0400, DW16 | NODEFAULT), ("CTRL2_INIT", 0, DW16),
             ("USE_PWMVAL", 0, PARAM8), ("INIT_INIT", 0, DW16)]
    table += [("VAL%d_INIT" % n, 0, DW16) for n in (1, 0, 2, 3, 4, 5)]
    table += [("FRACVAL%d_INIT" % n, 0, DW16) for n in range(1, 6)]
    table += [("%s_INIT" % name, 0, DW16) for name in (
        "OCTRL", "INTEN", "DMAEN", "TCTRL", "DISMAP0", "DISMAP1", "DTCNT0", "DTCNT1",
        "CAPTCTRLA", "CAPTCMPA", "CAPTCTRLB", "CAPTCMPB", "CAPTCTRLX")]
    if fam(chip, "FamE", "FamF", "FamD"):
        table += [("CAPTCMPX_INIT", 0, DW16), ("PHASEDLY_INIT", 0, DW16)]
    if fam(chip, "FamD"):
        table.append(("FFILT_INIT", 0, DW16))
    return table


def t_enc(chip):
    names = ["CTRL", "FILT", "WTR", "UINIT", "LINIT", "TST", "CTRL2", "UMOD", "LMOD"]
    return [("%s_INIT" % name, 0, DW16) for name in names] + [
        ("UCOMP_INIT", 0xFFFF, DW16), ("LCOMP_INIT", 0xFFFF, DW16)]


def t_evtg(chip):
    table = []
    for channel in "ABCD":
        for name in ("AOI0_BFT01", "AOI0_BFT23", "AOI1_BFT01", "AOI1_BFT23", "CTRL", "AOI0_FILT",
                     "AOI1_FILT"):
            table.append(("%s_%s_INIT" % (channel, name), 0, DW16))
    return table


def t_edma(chip):
    table = [("CR_INIT", 0, DW32), ("ERQ_INIT", 0, DW32), ("EEI_INIT", 0, DW32),
             ("EARS_INIT", 0, DW32)]
    table += [("DCHPRI%d_INIT" % n, 3 - n, DW8) for n in range(4)]
    for channel in range(4):
        for name, width in (("SARDR", DW32), ("SOFF", DW16), ("ATTR", DW16),
                            ("NBYTES_MLOFFNO", DW32), ("SLAST", DW32), ("DARDR", DW32),
                            ("DOFF", DW16), ("CITER_ELINKNO", DW16), ("DLASTSGA", DW32),
                            ("CSR", DW16), ("CH_MUX", DW8), ("BITER_ELINKNO", DW16)):
            table.append(("TCD%d_%s_INIT" % (channel, name), 0, width))
    return table


def t_dma(chip):
    table = [("REQC_INIT", 0, DW32)]
    for channel in range(4):
        table += [("%s%d_INIT" % (name, channel), 0, DW32)
                  for name in ("SAR", "DAR", "DSR_BCR", "DCR")]
    return table


def t_vmon(chip):
    values = [("COMM_INTERFACE", 0), ("LONG_INTR", 0), ("SHORT_INTR", 0), ("POLL_DRIVEN", 1),
              ("COMM_BUFFER_SIZE", 0), ("COMM_RQUEUE_SIZE", 32), ("USE_READMEM", 1),
              ("USE_WRITEMEM", 1), ("USE_WRITEMEMMASK", 1), ("USE_READVAR", 0),
              ("USE_WRITEVAR", 0), ("USE_WRITEVARMASK", 0), ("USE_APPCMD", 0),
              ("APPCMD_BUFF_SIZE", 16), ("MAX_APPCMD_CALLS", 0), ("USE_SCOPE", 0),
              ("MAX_SCOPE_VARS", 8), ("USE_RECORDER", 0), ("MAX_REC_VARS", 8),
              ("REC_OWNBUFF", 0), ("REC_BUFF_SIZE", 256), ("REC_FARBUFF", 0),
              ("REC_TIMEBASE", 0), ("USE_TSA", 0), ("USE_TSA_INROM", 0), ("USE_TSA_SAFETY", 0)]
    table = []
    for index, (name, default) in enumerate(values):
        flags = DW16 | USERDEFINE | (DECVALUE if name != "REC_TIMEBASE" else 0)
        if index < 4:
            flags |= NODEFAULT
        if name == "REC_FARBUFF" and fam(chip, "FamG"):
            flags |= HIDDEN
        table.append((name, default, flags))
    return table


def t_xbar(node):
    """Registers of a crossbar, built from its module information like the module does."""
    outputs = [line for line in node.info if line.startswith("out,")]
    pattern = "SEL%d_INIT" if "cfg, showSel" in node.info else "XBC%d_INIT"
    table = [(pattern % n, 0, DW16) for n in range((len(outputs) + 1) // 2)]
    if "cfg, showCfg" in node.info:
        table += [("CTRL0_INIT", 0, DW16), ("CTRL1_INIT", 0, DW16)]
    return table


def simple(*entries):
    return lambda chip: [(name, default, flags) for name, default, flags in entries]


TABLES = {
    "OCCS": t_occs, "SYS_V1": t_sys, "SYS_V2_Classic": t_sys, "SYS_V2_FamB": t_sys,
    "SYS_V2_FamC": t_sys, "SYS_FamA": t_sys, "SYS_FamE_FamF_FamD": t_sys, "INTC": t_intc,
    "GPIO": t_gpio, "QT": t_qt, "PWM": t_pwm, "ADC": t_adc, "SCI": t_sci, "SPI": t_spi,
    "I2C": t_i2c, "I2C_FamA": t_i2c_fama, "I2C_FamB": t_i2c_famb, "DAC": t_dac,
    "COP_FamA": t_cop, "HSCMP": t_hscmp, "PDB": t_pdb, "CRC": t_crc, "FTFL": t_ftfl,
    "MCM": t_mcm, "FLASHOPT": t_flashopt, "SEMI": t_semi, "YCAN": t_ycan, "LSCAN": t_lscan,
    "PWMAll_FamC": t_pwmall, "PWM_FamC": t_pwm_famc, "ENC": t_enc, "EVTG": t_evtg,
    "EDMA": t_edma, "DMA": t_dma, "VMON": t_vmon, "TRL": t_trl,
    "PIT": simple(("CTRL_INIT", 0, DW16 | NODEFAULT), ("MOD_INIT", 0, DW16)),
    "CMP": simple(("CTRL_INIT", 0, DW16), ("FILT_INIT", 0, DW16)),
    "TSN": simple(("CNTL_INIT", 0, DW16)),
    "DEC": simple(("DECCR_INIT", 0, DW16 | NODEFAULT), ("WTR_INIT", 0, DW16),
                  ("FIR_INIT", 0, DW16), ("UIR_INIT", 0, DW16), ("LIR_INIT", 0, DW16),
                  ("IR32", 0, DW32 | HIDDEN)),
    "PMC": simple(("-PMC_SCR_INIT", 0x208, DW16), ("-PMC_CR2_INIT", 0xFF, DW16),
                  ("USE_FACTORY_LVD_TRIM", 0, PARAM8), ("USE_FACTORY_1KHZ_TRIM", 0, PARAM8)),
    "RTC": simple(("RTCSC_INIT", 0, DW8), ("RTCMOD_INIT", 0, DW8)),
    "PGA": simple(("CNTL0_INIT", 0, DW8), ("CNTL1_INIT", 2, DW8), ("CNTL2_INIT", 0xE, DW8)),
    "ADC_FamA": simple(("ADCSC1A_INIT", 0x1F, DW16), ("ADCSC1B_INIT", 0x1F, DW16),
                       ("ADCSC2_INIT", 0, DW16), ("ADCCFG_INIT", 0, DW16)),
    "ADC_FamE": simple(*[(name + "_INIT", default, DW16) for name, default in (
        ("SC1A", 0x1F), ("SC1B", 0x1F), ("CFG1", 0), ("CFG2", 0), ("CV1", 0), ("CV2", 0),
        ("SC2", 0), ("SC3", 0), ("OFS", 0x0004), ("PG", 0x8200), ("MG", 0x8200),
        ("CLP4", 0x0200), ("CLP3", 0x0100), ("CLP2", 0x0080), ("CLP1", 0x0040),
        ("CLP0", 0x0020))]),
    "PWM_FamA": simple(*[("%s_INIT" % n, 0, DW16) for n in (
        ["PMCTL", "PMFCTL", "PMOUT", "PWMCM", "PMDEADTM0", "PMDEADTM1", "PMDISMAP1", "PMDISMAP2",
         "PMCNFG", "PMCCR", "PMSRC", "PMSYNC", "PMCTL2", "PMICCR"] +
        ["PWMVAL%d" % v for v in range(6)] + ["PMENCR"] + ["FFILT%d" % f for f in range(4)])]),
    "EWM": simple(("CTRL_INIT", 0, DW16), ("CMPL_INIT", 0, DW16), ("CMPH_INIT", 0xFF, DW16),
                  ("CLKCTRL_INIT", 0, DW16), ("CLKPRESCALER_INIT", 0, DW16)),
    "FMC": simple(("PFAPR_INIT", 0xF000FF, DW32),
                  ("PFB0CR_INIT", 0x3002001F, DW32 | NODEFAULT)),
    "AOI": simple(*[("BFCRT%s%d_INIT" % (terms, event), 0, DW16) for event in range(4)
                    for terms in ("01", "23")]),
    "PWM_FamC_SWLayer": simple(("THREE_PHASE_CONF", 0, PARAM8)),
    "VREF_DAC": simple(("DACCTRL_INIT", 0, DW16)),
}

# ---------------------------------------------------------------------------------------------
# Writing, in the header writer's shapes.


def define_name(instance, name):
    return name[1:] if name.startswith("-") else "%s_%s" % (instance, name)


def format_value(value, flags):
    if flags & STRVALUE:
        return value
    if flags & DECVALUE:
        return "%d" % (value - (1 << 32) if value & 0x80000000 else value)
    width = flags & 0x7
    digits = {1: 2, 2: 4, 4: 8}.get(width, 2)
    return "0x%0*XU" % (digits, value)


def define_line(name, value_text, comment=None):
    head = "#define " + name
    padding = " " * (40 - len(head)) if len(head) < 40 else ""
    line = "%s %s %s" % (head, padding, value_text)
    return with_comment(line, comment)


def with_comment(line, comment):
    if not comment:
        return line + "\n"
    line = line.ljust(50)
    text = "/*" + ("" if comment[0].isspace() else " ") + comment + (
        "" if comment[-1].isspace() else " ") + "*/"
    return line + " " + text + "\n"


def module_info_map(node):
    info = {}
    for line in node.info:
        if "=" in line:
            key, value = line.split("=", 1)
            info[key.strip()] = value.strip()
    return info


def reset_defaults(node, table):
    """The defaults after the architecture file's reset values are applied."""
    info = module_info_map(node)
    result = []
    for name, default, flags in table:
        key = name.lstrip("-")
        if key.endswith("_INIT"):
            key = key[:-5] + "_RESET"
        if node.key == "GPIO" and name in ("PER_INIT", "PUR_INIT", "PPMODE_INIT"):
            key = name[:-5]
        if key in info:
            default = int(info[key], 0)
        result.append((name, default, flags))
    return result


def module_section(node, table, values, comments, all_values):
    """The section of one selected module: title, internal block, define lines."""
    known = {name for name, _, _ in table}
    for name in values:
        assert name in known, "%s has no register %s" % (node.name, name)
    section = "/*.\n    %s Configuration\n%s\n.*/\n" % (node.name, "-" * 44)
    internal = []
    lines = []
    for name, default, flags in table:
        if flags & DUMMYREG:
            assert name not in values, (node.name, name)
            continue
        value = values.get(name, None if flags & (STRVALUE | NOVALUE) else default)
        comment = comments.get(name)
        if flags & INTERNAL:
            if name in values:
                internal.append("%s=%s" % (name, format_value(value, flags)))
            continue
        if flags & NOVALUE:
            if value:
                lines.append(with_comment("#define " + define_name(node.name, name), comment))
            elif all_values:
                lines.append("#undef %s\n" % define_name(node.name, name))
            continue
        if flags & STRVALUE:
            if value is not None:
                lines.append(define_line(define_name(node.name, name), value, comment))
            continue
        if value == default and not (flags & NODEFAULT) and not all_values:
            continue
        lines.append(define_line(define_name(node.name, name), format_value(value, flags),
                                 comment))
    if internal:
        block = "\n[PARAMETERS:%s]\n%s" % (node.name, "\n".join(internal))
        section += "/*. Internal HWC parameters, do not edit!%s\n.*/\n" % block.replace(
            "\n", "\n    ")
    return section + "".join(lines) + "\n"


def user_definitions(records):
    if not records:
        return ""
    text = "\n\n/*.\n    User definitions\n    ----------------- \n.*/\n"
    for name, value, comment in records:
        line = ("#define   " + name).ljust(40) + " " + value
        text += with_comment(line, comment)
    return text + "\n"


def banner_date(when):
    return when.strftime("%a, %d/%b/%Y, %H:%M:%S")


def write_header(example):
    chip, roots = gen_arch.build(example["processor"])
    nodes = [node for root in roots for node in root.walk()]
    by_name = {node.name: node for node in nodes}
    for name in example["modules"]:
        assert name in by_name, "%s is not a module of %s" % (name, chip.name)
    all_values = not example.get("defaults_omitted", True)
    body = ""
    for node in nodes:
        if node.name not in example["modules"]:
            continue
        values = dict(example["modules"][node.name])
        if node.key == "INTC":
            values.update(intc_values(example, by_name))
        if node.key == "XBAR":
            table = t_xbar(node)
        else:
            table = TABLES[node.key](chip)
        table = reset_defaults(node, table)
        body += module_section(node, table, values, example.get("comments", {}).get(
            node.name, {}), all_values)
    body += user_definitions(example.get("user", []))

    text = example["leading"].strip()
    text += "\n\n/*.%s\n" % ("*" * 73)
    text += "*\n*  File generated by Hexaform %s\n*\n" % banner_date(example["date"])
    text += "%s.*/\n\n" % ("*" * 76)
    text += "#define %s\n" % example["macro"]
    text += '#define APPCFG_PARTNUM  "%s"\n' % example["partnum"]
    if example.get("package"):
        text += '#define APPCFG_PACKAGE  "%s"\n' % example["package"]
    if example.get("extclk"):
        text += "#define APPCFG_EXTCLK %dL\n" % example["extclk"]
    if example.get("extal"):
        text += "#define APPCFG_EXTAL %dL\n" % example["extal"]
    if not all_values:
        text += "#define APPCFG_DFLTS_OMITTED 1\n"
    text += "#define APPCFG_HWC_VERSION %s\n" % HWC_VERSION
    text += "\n" + body
    text += "\n/*.         End of autogenerated code\n"
    text += "%s ..*/\n\n" % ("*" * 70)
    text += example.get("trailing", "#endif /* __APPCONFIG_H */").lstrip("\n") + "\n"
    return text


def routine_name(node, row):
    """A routine name for an interrupt row, as a user would give it."""
    camel = "".join(word.capitalize() for word in node.name.lower().split("_"))
    return "%sISR%s" % (camel, row if row else "")


def intc_values(example, by_name):
    """Routine names and priorities of the interrupt rows the example uses."""
    values = {}
    fast = example.get("fast")
    fast_vector = by_name[fast[0]].ints[fast[1]] if fast else None
    if fast:
        values["FIM0_INIT"] = fast_vector
        values["FIVA0_INIT"] = fast[2]
        values["-INT_PRIORITY_LEVEL_%d" % fast_vector] = "INTC_LEVEL2"
    rows = example.get("vectors", [])
    if rows == "all":
        rows = []
        for name in example["modules"]:
            node = by_name[name]
            if node.key == "VMON":
                continue  # its rows are claimed by the driver only in interrupt mode
            driver = node.key == "SCI" and example["modules"][name].get("HIGHLEVEL_MODE")
            for row, vector in enumerate(node.ints):
                if vector == fast_vector:
                    continue
                if driver:
                    suffix = {0: "TxEmptyISR", 2: "RxErrorISR", 3: "RxFullISR"}.get(row)
                    if suffix:
                        rows.append((name, row, "Sci%s%s" % (name[-1], suffix), 1))
                    continue
                level = 2 if node.key in ("PWM_FamC", "ADC", "HSCMP") else 1
                rows.append((name, row, routine_name(node, row), level))
    famg = any(name == example["processor"] and gen_arch.in_group(entry, "FamG")
               for entry, name in gen_arch.PROCESSORS)
    for instance, row, routine, level in rows:
        vector = by_name[instance].ints[row]
        assert vector != fast_vector, "a fast interrupt takes no standard routine"
        values["-INT_VECTOR_ADDR_%d" % vector] = routine
        if level is not None:
            # FamG sources are only enabled or disabled.
            values["-INT_PRIORITY_LEVEL_%d" % vector] = (
                "INTC_ENABLED" if famg else "INTC_LEVEL%d" % level)
    return values


# ---------------------------------------------------------------------------------------------
# The examples.

from example_projects import EXAMPLES  # noqa: E402


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "examples"))
    args = parser.parse_args()
    for example in EXAMPLES:
        folder = os.path.join(args.out, example["folder"], "ApplicationConfig")
        os.makedirs(folder, exist_ok=True)
        text = write_header(example)
        with open(os.path.join(folder, "appconfig.h"), "w", newline=example.get(
                "newline", "\n")) as out:
            out.write(text)
        print("%-40s %5d lines" % (example["folder"], text.count("\n")))
    return 0


if __name__ == "__main__":
    sys.exit(main())
