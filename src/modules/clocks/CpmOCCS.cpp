#include "modules/clocks/CpmOCCS.h"

#include <array>

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "modules/clocks/CpmOCCSTables.h"
#include "modules/system/SystemQueries.h"

using namespace hwc;

namespace {

// The processor groups of the document being opened; none without one.
tClockFamily FamilyOfHostBeingOpened() {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(HostBeingOpened());
    return ClassifyClockFamily(
        [groups](int entry) { return groups && groups->IsProcessorGroup(entry); });
}

unsigned TemplateIdOf(const tClockFamily& family) {
    switch (family.generation) {
    case EClockGeneration::Second:
        return CpmOCCS::kSecondTemplateId;
    case EClockGeneration::Third:
        return CpmOCCS::kThirdTemplateId;
    case EClockGeneration::First:
        break;
    }
    return CpmOCCS::kFirstTemplateId;
}

// Register fields.
constexpr int kSystemSourceBit = 0; // new generation: 1 = PLL
constexpr int kMasterSourceP = 2;
constexpr int kMasterSourceQ = 3;
constexpr int kRelaxationUsedBit = 2; // first generation: 0 = used
constexpr int kPllPowerDownBit = 4;
constexpr int kLockDetectorBit = 7;
constexpr int kLossOfReferenceBit = 11;
constexpr int kClockSelectX = 10;
constexpr int kDivideBy2Bit = 11;
constexpr int kCrystalDisableBit = 12;
constexpr int kRelaxationDisableBit = 15;
constexpr int kLowSpeedDisableBit = 15;
constexpr int kCrystalPowerDownBit = 14;
constexpr int kPwm2xBit = 6;
constexpr std::uint32_t kOscillatorPowerOff = 1; // the field value of "Off"

// Value tables of the choices.
constexpr std::array<int, 2> kPrescalerOrPostscaler = {1, 2};
constexpr std::array<int, 2> kLockModeFine = {1, 2};
constexpr std::array<int, 2> kLockModeFineFirst = {2, 1};
constexpr std::array<int, 3> kOscillatorPowerTable = {1, 0, 2};

// The clock pin names the pin-function query answers for.
constexpr std::array<const char*, 7> kClockPins = {"XTAL",      "EXTAL",     "CLKIN",    "CLKIN1",
                                                   "CLKIN_PRI", "CLKIN_ALT", "CLKIN_XTL"};

bool IsClockPin(const std::string& name) {
    for (const char* pin : kClockPins) {
        if (EqualsNoCase(name, pin))
            return true;
    }
    return false;
}

} // namespace

CpmOCCS::CpmOCCS(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmOCCS(parent, descriptor, FamilyOfHostBeingOpened()) {}

CpmOCCS::CpmOCCS(CModuleBase* parent, const CModuleDescriptor* descriptor,
                 const tClockFamily& family)
    : CModule(parent, TemplateIdOf(family), descriptor, nullptr, 0), m_family(family) {
    const std::vector<tPerCfgDef> table = OccsRegisterTable(m_family);
    const int count = static_cast<int>(table.size());
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, table.data(), true);
    // Those processors have a watchdog module of their own.
    if (m_family.NewGeneration()) {
        Item(kOccsWatchdogControl).dwFlags |= RegFlag::DUMMYREG | RegFlag::NOSHOWLIST;
        Item(kOccsWatchdogTimeout).dwFlags |= RegFlag::DUMMYREG | RegFlag::NOSHOWLIST;
    }
    AddSummaryItems();
}

const CDialogTemplate* CpmOCCS::DialogTemplate() const {
    return &PageTemplate(m_family.generation);
}

void CpmOCCS::AddSummaryItems() {
    if (m_family.NewGeneration()) {
        AddCommentItems({{&m_masterSource, 0},
                         {&m_crystalEnable, 0},
                         {&m_enablePll, 0},
                         {&m_multiplier, 0},
                         {&m_postscaler, 0},
                         {&m_systemSource, 0}});
        return;
    }
    AddCommentItems({{&m_relaxationUsed, 0},
                     {&m_oscillatorPower, 0},
                     {&m_enablePll, 0},
                     {&m_prescaler, 0},
                     {&m_multiplier, 0},
                     {&m_postscaler, 0},
                     {&m_systemSource, 0},
                     {&m_copEnable, 0},
                     {&m_copDivisor, 0}});
}

// --- Bindings ---

void CpmOCCS::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    m_bound.clear();
    // A watchdog module owns the watchdog registers: the copies here become placeholders that
    // are neither read, written, listed nor found by name, so each define is written once.
    if (dynamic_cast<const IWatchdogClock*>(FindModule(host, "COP"))) {
        for (int watchdogItem : {kOccsWatchdogControl, kOccsWatchdogTimeout}) {
            Item(watchdogItem).dwFlags |= RegFlag::DUMMYREG | RegFlag::NOSHOWLIST;
            CopyCut(Item(watchdogItem).szName, "_dummy_");
        }
    }
    tPerCfgItem& control = Item(kOccsControl);
    tPerCfgItem& divide = Item(kOccsDivide);
    const bool newGeneration = m_family.NewGeneration();

    m_enablePll.Bind(control, kPllPowerDownBit, true, "");
    Bound(m_enablePll, kEnablePllId);
    m_lockDetector.Bind(control, kLockDetectorBit, false, "");
    Bound(m_lockDetector, kLockDetectorId);
    m_lossOfReferenceInterrupt.Bind(control, kLossOfReferenceBit, false, "");
    Bound(m_lossOfReferenceInterrupt, kLossOfReferenceInterruptId);
    m_lossOfLock0.Bind(control, 12, 13, 0, "Loss of lock interrupt 0");
    Bound(m_lossOfLock0, kLossOfLock0Id);
    m_lossOfLock1.Bind(control, 14, 15, 0, "Loss of lock interrupt 1");
    Bound(m_lossOfLock1, kLossOfLock1Id);
    m_lossOfReferencePeriod.Bind(divide, 12, 15, 0, "", false, 0, 15, true);
    Bound(m_lossOfReferencePeriod, kLossOfReferencePeriodId);
    const bool firstLockTable = m_family.famG || m_family.entry5;
    m_lockMode.Bind(Item(kOccsLockMode), 5, 6, 0, "",
                    firstLockTable ? std::span<const int>(kLockModeFineFirst)
                                   : std::span<const int>(kLockModeFine));
    Bound(m_lockMode, kLockModeId);
    if (!HasFixedMultiplier(m_family)) {
        const int high = m_family.Third() ? 5 : 6;
        m_multiplier.Bind(divide, 0, high, 1, "Multiplication Factor (PLL Divide-By)", false, 0, 0,
                          true);
        Bound(m_multiplier, kMultiplierId);
    }
    if (newGeneration) {
        m_systemSource.Bind(control, kSystemSourceBit, kSystemSourceBit, 0, "");
        Bound(m_systemSource, kSystemSourceId);
        m_postscaler.Bind(divide, 8, 11, 0, "");
        Bound(m_postscaler, kPostscalerId);
        m_masterSource.BindCustom(&MasterSourceSetter, &MasterSourceGetter, this, 0,
                                  "MSTR_OSC source");
        Bound(m_masterSource, kMasterSourceId);
        if (m_family.famF) {
            m_pwm2xSource.Bind(divide, kPwm2xBit, kPwm2xBit, 0, "PWM_2X clock source");
            Bound(m_pwm2xSource, kPwm2xSourceId);
        }
    } else {
        BindFirstGeneration();
    }
    if (Has(kOccsProtection) && !(Item(kOccsProtection).dwFlags & RegFlag::DUMMYREG)) {
        tPerCfgItem& protection = Item(kOccsProtection);
        m_protectClock.Bind(protection, 4, 5, 0, "");
        Bound(m_protectClock, kProtectClockId);
        m_protectOscillator.Bind(protection, 2, 3, 0, "");
        Bound(m_protectOscillator, kProtectOscillatorId);
        m_protectPll.Bind(protection, 0, 1, 0, "");
        Bound(m_protectPll, kProtectPllId);
    }
    BindOscillators();
}

void CpmOCCS::BindFirstGeneration() {
    tPerCfgItem& control = Item(kOccsControl);
    tPerCfgItem& divide = Item(kOccsDivide);
    m_relaxationUsed.Bind(control, kRelaxationUsedBit, kRelaxationUsedBit, 0, "");
    Bound(m_relaxationUsed, kRelaxationUsedId);
    m_systemSource.Bind(control, 0, 1, 0, "", kPrescalerOrPostscaler);
    Bound(m_systemSource, kSystemSourceId);
    if (m_family.famJ) {
        m_postscaler.Bind(divide, 8, 10, 0, "");
        Bound(m_postscaler, kPostscalerId);
    } else {
        m_prescaler.Bind(divide, 8, 9, 0, "");
        Bound(m_prescaler, kPrescalerId);
        m_postscaler.Bind(divide, 10, 11, 0, "");
        Bound(m_postscaler, kPostscalerId);
    }
    m_oscillatorPower.Bind(Item(kOccsOscillator), 12, 13, 0, "Crystal Power Mode",
                           kOscillatorPowerTable);
    Bound(m_oscillatorPower, kOscillatorPowerId);
    if (m_family.famB) {
        m_externalClockPin.Bind(Item(kOccsOscillator), 10, 11, 0, "");
        Bound(m_externalClockPin, kExternalClockPinId);
    }
    tPerCfgItem& cop = Item(kOccsWatchdogControl);
    m_copEnable.Bind(cop, 1, false, "COP operation");
    Bound(m_copEnable, kCopEnableId);
    m_copStop.Bind(cop, 3, false, "");
    Bound(m_copStop, kCopStopId);
    m_copWait.Bind(cop, 2, false, "");
    Bound(m_copWait, kCopWaitId);
    m_copWriteProtect.Bind(cop, 0, false, "");
    Bound(m_copWriteProtect, kCopWriteProtectId);
    m_copLossOfClock.Bind(cop, 5, false, "");
    Bound(m_copLossOfClock, kCopLossOfClockId);
    m_copRelaxation.Bind(cop, 6, false, "");
    Bound(m_copRelaxation, kCopRelaxationId);
    m_copDivisor.Bind(Item(kOccsWatchdogTimeout), 0, m_family.famG ? 11 : 15, 1, "", false, 0, 0,
                      true);
    Bound(m_copDivisor, kCopDivisorId);
}

void CpmOCCS::BindOscillators() {
    tPerCfgItem& oscillator = Item(kOccsOscillator);
    const int trimHigh = (m_family.famG || m_family.entry5) ? 7 : 9;
    m_trim.Bind(oscillator, 0, trimHigh, 0, "", false, 0, 0, true);
    Bound(m_trim, kTrimId);
    m_factoryTrim.Bind(Item(kOccsFactoryTrim), 0, false, "");
    Bound(m_factoryTrim, kFactoryTrimId);
    m_retrimClock.Bind(Item(kOccsRetrimClock), 0, 31, 0, "Re-trim Relaxation Oscillator", false, 0,
                       0, true);
    Bound(m_retrimClock, kRetrimClockId);
    if (!m_family.NewGeneration())
        return;
    if (m_family.famD) {
        // The 48 MHz oscillator is enabled in the system module.
        if (tPerCfgItem* misc = SystemMiscControlRegister(*this)) {
            m_relaxationEnable.Bind(*misc, kHighSpeedOscillatorEnableBit, false, "");
            Bound(m_relaxationEnable, kRelaxationEnableId);
        }
    } else {
        m_relaxationEnable.Bind(oscillator, kRelaxationDisableBit, true, "");
        Bound(m_relaxationEnable, kRelaxationEnableId);
    }
    m_relaxationMode.Bind(oscillator, 14, 14, 0, "");
    Bound(m_relaxationMode, kRelaxationModeId);
    m_crystalEnable.Bind(oscillator, kCrystalDisableBit, true, "");
    Bound(m_crystalEnable, kCrystalEnableId);
    m_crystalPower.Bind(oscillator, 13, 13, 0, "Crystal oscillator power mode");
    Bound(m_crystalPower, kCrystalPowerId);
    if (m_family.famA) {
        m_crystalRange.Bind(oscillator, 11, 11, 0, "Crystal frequency range");
        Bound(m_crystalRange, kCrystalRangeId);
    }
    if (m_family.famC || m_family.famE) {
        m_divideBy2.Bind(oscillator, kDivideBy2Bit, false, "");
        Bound(m_divideBy2, kDivideBy2Id);
    }
    if (!m_family.Third())
        return;
    tPerCfgItem& oscillator2 = Item(kOccsOscillator2);
    m_temperatureTrim.Bind(oscillator2, 10, 13, 0, "Temperature trim value for 8 MHz oscillator",
                           false, 0, 15, true);
    Bound(m_temperatureTrim, kTemperatureTrimId);
    m_temperatureFactoryTrim.Bind(Item(kOccsTemperatureTrim), 0, false, "");
    Bound(m_temperatureFactoryTrim, kTemperatureFactoryTrimId);
    m_lowSpeedEnable.Bind(oscillator2, kLowSpeedDisableBit, true, "");
    Bound(m_lowSpeedEnable, kLowSpeedEnableId);
    m_lowSpeedTrim.Bind(oscillator2, 0, 8, 0,
                        m_family.famE ? "Frequency trim value for 32 kHz oscillator"
                                      : "Frequency trim value for 200 kHz oscillator",
                        false, 0, 511, true);
    Bound(m_lowSpeedTrim, kLowSpeedTrimId);
    m_lowSpeedFactoryTrim.Bind(Item(kOccsLowSpeedTrim), 0, false, "");
    Bound(m_lowSpeedFactoryTrim, kLowSpeedFactoryTrimId);
    m_crystalPowerDown.Bind(oscillator2, kCrystalPowerDownBit, false, "");
    Bound(m_crystalPowerDown, kCrystalPowerDownId);
}

int CpmOCCS::MasterSourceGetter(void* context, int) {
    return static_cast<CpmOCCS*>(context)->MasterSource();
}

void CpmOCCS::MasterSourceSetter(int value, void* context, int) {
    auto* self = static_cast<CpmOCCS*>(context);
    if (value < 0)
        return; // no choice: the registers stay
    const tMasterSourceBits bits = MasterSourceBits(self->m_family, value);
    auto write = [](std::uint32_t& word, int bit, bool set) {
        word = set ? (word | (1u << bit)) : (word & ~(1u << bit));
    };
    std::uint32_t& control = self->Item(kOccsControl).dwValue;
    write(control, kMasterSourceP, bits.p);
    if (bits.writesQ)
        write(control, kMasterSourceQ, bits.q);
    if (bits.writesX)
        write(self->Item(kOccsOscillator).dwValue, kClockSelectX, bits.x);
}

// --- Register reading ---

bool CpmOCCS::ItemBit(int item, int bit) const {
    return Has(item) && ((Item(item).dwValue >> bit) & 1u) != 0;
}

std::uint32_t CpmOCCS::ItemField(int item, int low, int high) const {
    if (!Has(item))
        return 0;
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    const std::uint32_t mask = width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
    return (Item(item).dwValue >> low) & mask;
}

int CpmOCCS::MasterSource() const {
    return MasterSourceOf(m_family, ItemBit(kOccsControl, kMasterSourceP),
                          ItemBit(kOccsControl, kMasterSourceQ),
                          ItemBit(kOccsOscillator, kClockSelectX));
}

bool CpmOCCS::IsCrystalOscillatorEnabled() const {
    return !ItemBit(kOccsOscillator, kCrystalDisableBit);
}

bool CpmOCCS::IsRelaxationOscillatorEnabled() const {
    if (!m_family.NewGeneration())
        return !ItemBit(kOccsControl, kRelaxationUsedBit);
    if (m_family.famD)
        return SystemMiscBit(*this, kHighSpeedOscillatorEnableBit, true);
    return !ItemBit(kOccsOscillator, kRelaxationDisableBit);
}

tClockSettings CpmOCCS::Settings() const {
    tClockSettings s;
    if (CPage* page = Page()) {
        s.pageExists = true;
        if (const CPageControl* edit = page->FindControl(kCrystalFrequencyId))
            s.crystalEditMHz = ReadFrequencyText(edit->Text());
        if (const CPageControl* edit = page->FindControl(kClkinFrequencyId))
            s.clkinEditMHz = ReadFrequencyText(edit->Text());
    }
    s.docExternalMHz = ProjectExternalClockMHz(*this);
    s.docCrystalMHz = ProjectCrystalClockMHz(*this);
    s.source = MasterSource();
    s.divideBy2 = (m_family.famC || m_family.famE || m_family.famD) &&
                  ItemBit(kOccsOscillator, kDivideBy2Bit);
    s.factoryTrim = ItemBit(kOccsFactoryTrim, 0);
    s.retrimHz = Has(kOccsRetrimClock) ? Item(kOccsRetrimClock).dwValue : 0;
    s.lossOfReferencePeriod = static_cast<int>(ItemField(kOccsDivide, 12, 15));
    s.fastBoot = m_family.famF && SystemMiscBit(*this, kFastBootBit, false);
    if (m_family.NewGeneration()) {
        s.systemSource = ItemBit(kOccsControl, kSystemSourceBit) ? 1 : 0;
        s.postscaler = static_cast<int>(ItemField(kOccsDivide, 8, 11));
        s.multiplier = static_cast<int>(ItemField(kOccsDivide, 0, m_family.Third() ? 5 : 6)) + 1;
        s.pwm2xSource = m_family.famF && ItemBit(kOccsDivide, kPwm2xBit) ? 1 : 0;
    } else {
        s.relaxationUsed = !ItemBit(kOccsControl, kRelaxationUsedBit);
        s.systemSource = ItemField(kOccsControl, 0, 1) == 2 ? 1 : 0;
        s.prescaler = m_family.famJ ? 0 : static_cast<int>(ItemField(kOccsDivide, 8, 9));
        s.postscaler = m_family.famJ ? static_cast<int>(ItemField(kOccsDivide, 8, 10))
                                     : static_cast<int>(ItemField(kOccsDivide, 10, 11));
        s.multiplier = static_cast<int>(ItemField(kOccsDivide, 0, 6)) + 1;
        s.watchdogDivisor = ItemField(kOccsWatchdogTimeout, 0, m_family.famG ? 11 : 15) + 1;
        s.watchdogOnRelaxation = m_family.famB && ItemBit(kOccsWatchdogControl, 6);
    }
    // Selecting the PLL as the system clock keeps it running.
    s.pllEnabled = !ItemBit(kOccsControl, kPllPowerDownBit) || s.systemSource == 1;
    return s;
}

// --- Published values ---

float CpmOCCS::CrystalClockMHz() const {
    return CrystalClock(m_family, Settings());
}

float CpmOCCS::OscillatorInputClockMHz() const {
    const tClockSettings s = Settings();
    const float selected = OscillatorInputClock(m_family, s);
    if (selected > 0.0f || !m_family.NewGeneration())
        return selected;
    // A crystal oscillator left running beside an internal master clock still feeds its users.
    if (IsCrystalOscillatorEnabled() && !IsCrystalOscillatorPoweredDown())
        return s.pageExists ? s.crystalEditMHz : s.docCrystalMHz;
    return 0.0f;
}

bool CpmOCCS::IsRelaxationOscillatorDisabled() const {
    return m_family.NewGeneration() && !IsRelaxationOscillatorEnabled();
}

bool CpmOCCS::IsLowSpeedOscillatorDisabled() const {
    return m_family.Third() && ItemBit(kOccsOscillator2, kLowSpeedDisableBit);
}

bool CpmOCCS::IsCrystalOscillatorPoweredDown() const {
    return m_family.Third() && ItemBit(kOccsOscillator2, kCrystalPowerDownBit);
}

// --- Pins ---

bool CpmOCCS::IsPinFunctionUsed(const std::string& signal) const {
    if (!IsClockPin(signal))
        return true;
    if (!m_family.relaxation && !m_family.famD)
        return false;
    const auto is = [&](const char* name) { return EqualsNoCase(signal, name); };
    if (m_family.NewGeneration()) {
        const int source = MasterSource();
        const bool crystal = IsCrystalOscillatorEnabled();
        const bool needsXtal = source == kCrystalSource || WatchdogCountsCrystal(*this) ||
                               (m_family.famA && SystemClockOutputSelectsOscillator(*this));
        const bool secondInput = m_family.Third() && SystemSelectsSecondClockInput(*this);
        if (needsXtal && !crystal && is("XTAL"))
            return true;
        if (!crystal && source != kClkinSource)
            return false;
        if (is("EXTAL") || is("XTAL"))
            return crystal && !IsCrystalOscillatorPoweredDown();
        if (is("CLKIN"))
            return source == kClkinSource && !secondInput;
        if (is("CLKIN1"))
            return source == kClkinSource && secondInput;
        return true;
    }
    if (!ItemBit(kOccsControl, kRelaxationUsedBit))
        return false; // the relaxation oscillator is used
    const bool powerOff = ItemField(kOccsOscillator, 12, 13) == kOscillatorPowerOff;
    if (!m_family.famB)
        return !(m_family.famK && powerOff && is("EXTAL"));
    const std::uint32_t pin = ItemField(kOccsOscillator, 10, 11);
    if (is("CLKIN_PRI"))
        return pin == 0;
    if (is("CLKIN_ALT"))
        return pin == 1;
    if (is("CLKIN_XTL"))
        return pin == 2 && powerOff;
    if (is("EXTAL") || is("XTAL"))
        return pin == 2 && !powerOff;
    return true;
}
