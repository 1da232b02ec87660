#include "modules/clocks/CpmOCCSTables.h"

#include <cstring>
#include <iterator>

namespace hwc {

namespace {

using namespace RegFlag;

constexpr std::uint32_t kHidden = DUMMYREG | NOSHOWLIST;
constexpr std::uint32_t kParam8 = USERDEFINE | DW8 | DECVALUE;
constexpr std::uint32_t kParam32 = USERDEFINE | DW32 | DECVALUE;

const tPerCfgDef kFamGLayout[] = {
    {"PLLCR_INIT", 0x11, DW16 | NODEFAULT},
    {"PLLDB_INIT", 0x2013, DW16 | NODEFAULT},
    {"IOSCTL_INIT", 0x80, DW16},
    {"_dummy_", 0x80, DW16 | kHidden},
    {"REQUIRED_LOCK_MODE", 0x40, DW16},
    {"USE_FACTORY_TRIM", 0, kParam8},
    {"RXOSC_RETRIM_CLK", 0x7A1200, kParam32},
    {"-COP_COPCTL_INIT", 0, DW16},
    {"-COP_COPTO_INIT", 0xFFF, DW16},
    {"CLKOSR_INIT", 0, DW16},
};

const tPerCfgDef kFamHLayout[] = {
    {"PLLCR_INIT", 0x11, DW16},
    {"PLLDB_INIT", 0x201D, DW16},
    {"OSCTL_INIT", 0, DW16},
    {"_dummy_", 0x80, DW16 | kHidden},
    {"REQUIRED_LOCK_MODE", 0x40, DW8},
    {"USE_FACTORY_TRIM", 0, kParam8},
    {"RXOSC_RETRIM_CLK", 0x7A1200, kParam32},
    {"-COP_COPCTL_INIT", 0, DW16},
    {"-COP_COPTO_INIT", 0xFFFF, DW16},
};

const tPerCfgDef kFamALayout[] = {
    {"CTRL_INIT", 0x11, DW16 | NODEFAULT},
    {"DIVBY_INIT", 0x2000, DW16 | NODEFAULT},
    {"OSCTL_INIT", 0x1600, DW16},
    {"PROT_INIT", 0, DW16},
    {"REQUIRED_LOCK_MODE", 0x20, DW8},
    {"USE_FACTORY_TRIM", 0, kParam8},
    {"RXOSC_RETRIM_CLK", 0x7A1200, kParam32},
    {"-COP_COPCTL_INIT", 0x302, DW16},
    {"-COP_COPTO_INIT", 0xFFFF, DW16},
    {"_dummy_", 0x80, DW16 | kHidden},
};

const tPerCfgDef kFamELayout[] = {
    {"CTRL_INIT", 0x10, DW16 | NODEFAULT},
    {"DIVBY_INIT", 0x2031, DW16 | NODEFAULT},
    {"OSCTL1_INIT", 0x620, DW16},
    {"PROT_INIT", 0, DW16},
    {"REQUIRED_LOCK_MODE", 0x20, DW8},
    {"USE_FACTORY_TRIM", 0, kParam8},
    {"RXOSC_RETRIM_CLK", 0x7A1200, kParam32},
    {"-COP_COPCTL_INIT", 0x302, DW16},
    {"-COP_COPTO_INIT", 0xFFFF, DW16},
    {"_dummy_", 0x80, DW16 | kHidden},
    {"OSCTL2_INIT", 0xC100, DW16},
    {"USE_FACTORY_TRIM_TEMP", 0, kParam8},
    {"USE_FACTORY_TRIM_32K", 0, kParam8},
};

template <std::size_t N> std::vector<tPerCfgDef> Copy(const tPerCfgDef (&table)[N]) {
    return std::vector<tPerCfgDef>(std::begin(table), std::end(table));
}

tPerCfgDef* Find(std::vector<tPerCfgDef>& table, const char* name) {
    for (tPerCfgDef& entry : table) {
        if (std::strcmp(entry.pszName, name) == 0)
            return &entry;
    }
    return nullptr;
}

} // namespace

std::vector<tPerCfgDef> OccsRegisterTable(const tClockFamily& f) {
    std::vector<tPerCfgDef> table;
    if (f.famG) {
        table = Copy(kFamGLayout);
    } else if (f.entry5 || (f.famH && !f.famC)) {
        table = Copy(kFamHLayout);
        if (f.famJ) {
            table[kOccsDivide].dwDefault = 0x2000;
            table[kOccsProtection] = {"PROT_INIT", 0, DW16 | (f.famB ? 0u : kHidden)};
            table[kOccsLockMode].dwDefault = 0x20;
        } else if (!f.entry5) {
            table[kOccsLockMode].dwDefault = 0x20;
        }
        // The oscillator control resets differently with a relaxation oscillator.
        table[kOccsOscillator].dwDefault = f.relaxation ? 0x1200 : 0;
    } else if (f.famA || f.famC) {
        table = Copy(kFamALayout);
        if (f.famC)
            table[kOccsDivide].dwDefault = 0x201D;
    } else if (f.famE || f.famF || f.famD) {
        table = Copy(kFamELayout);
        if (f.famD) {
            table[kOccsOscillator].dwDefault = 0x8620;
            table[kOccsTemperatureTrim].dwFlags |= kHidden;
            table[kOccsLowSpeedTrim].pszName = "USE_FACTORY_TRIM_200K";
        }
    } else {
        table = Copy(kFamGLayout);
    }
    if (f.entry5 || (f.famG && !f.relaxation))
        table[kOccsOscillator].dwFlags |= DUMMYREG;
    if (!f.relaxation) {
        Find(table, "USE_FACTORY_TRIM")->dwFlags |= kHidden;
        Find(table, "RXOSC_RETRIM_CLK")->dwFlags |= kHidden;
    }
    return table;
}

} // namespace hwc
