#include "modules/system/CpmPMC.h"

#include <string>
#include <vector>

#include "model/DialogTemplate.h"
#include "modules/interrupts/InterruptQueries.h"

namespace {

using namespace hwc::RegFlag;

// The control registers are written under their own names; the factory-trim choices are tool
// parameters that the start-up code reads, so they carry the instance prefix.
const tPerCfgDef kRegisters[] = {
    {"-PMC_SCR_INIT", 0x208, DW16},
    {"-PMC_CR2_INIT", 0xFF, DW16},
    {"USE_FACTORY_LVD_TRIM", 0, DW8 | DECVALUE | USERDEFINE},
    {"USE_FACTORY_1KHZ_TRIM", 0, DW8 | DECVALUE | USERDEFINE},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Status and control register fields.
constexpr int kProtectionLow = 0;
constexpr int kProtectionHigh = 1;
constexpr int kLvdLevelBit = 2;
constexpr int kLvdEnableBit = 3;
constexpr int kBandgapBufferBit = 4;
constexpr int kWakeUpOnInterruptBit = 5;
constexpr int kPartialPowerDownBit = 8;
constexpr int kLvdResetBit = 9;
constexpr int kLvdInterruptBit = 10;
constexpr int kOutOfRegulationInterruptBit = 11;
// Control register 2 fields.
constexpr int kRegulatorTrimLow = 0;
constexpr int kRegulatorTrimHigh = 4;
constexpr int kOscillatorTrimLow = 5;
constexpr int kOscillatorTrimHigh = 7;

// The regulator trim steps in field order: 0 to 15 lower the voltage by 1 to 16 steps, 16 also
// by 16, 17 to 30 raise it by 14 down to 1 step, 31 is the erased value.
std::vector<std::string> RegulatorTrimItems() {
    std::vector<std::string> items;
    for (int step = 1; step <= 16; ++step)
        items.push_back("-" + std::to_string(step));
    items.push_back("-16");
    for (int step = 14; step >= 1; --step)
        items.push_back(std::to_string(step));
    items.push_back("Untrimmed (Erased IFR)");
    return items;
}

} // namespace

CpmPMC::CpmPMC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_lvdEnable, 0},
                     {&m_lvdLevel, 0},
                     {&m_protection, 0},
                     {&m_regulatorTrim, 0},
                     {&m_outOfRegulationInterrupt, 0},
                     {&m_lvdInterrupt, 0},
                     {&m_lvdReset, 0},
                     {&m_partialPowerDown, 0},
                     {&m_wakeUpOnInterrupt, 0},
                     {&m_bandgapBuffer, 0},
                     {&m_oscillatorTrim, 0},
                     {&m_oscillatorEnable, 0},
                     {&m_lvdFactoryTrim, 0}});
}

const CDialogTemplate* CpmPMC::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Low-Voltage Detect System (LVD)",
             {dlg::CheckBox(kLvdEnableId, "Enable LVD"),
              dlg::Row({dlg::Label("Level:"),
                        dlg::DropList(kLvdLevelId, {"LVDL (1.86 V)", "LVDH (2.33 V) "})}),
              dlg::Row({dlg::Label("Protection:"),
                        dlg::DropList(kProtectionId, {"Write Protection OFF", "Write Protection ON",
                                                      "Protection Permanently OFF",
                                                      "Protection Permanently ON"})}),
              dlg::Row({dlg::Label("Trim (trim_increment):"),
                        dlg::DropList(kRegulatorTrimId, RegulatorTrimItems()),
                        dlg::CheckBox(kLvdFactoryTrimId, "Use Factory Trim Value")}),
              dlg::CheckBox(kLvdResetId, "Enable LVD reset"),
              dlg::CheckBox(kPartialPowerDownId, "Enable Partial Power Down"),
              dlg::CheckBox(kWakeUpOnInterruptId, "Enable Wake-Up on Interrupt"),
              dlg::CheckBox(kBandgapBufferId, "Enable Bandgap buffer")}),
         dlg::Group("LVD Interrupts",
                    {dlg::CheckBox(kLvdInterruptId, "LVD Interrupt"),
                     dlg::CheckBox(kOutOfRegulationInterruptId, "Out of Regulation interrupt"),
                     dlg::Row({dlg::Label("LVD ISR Name:", kIsrNameLabelId),
                               dlg::Placeholder(kFirstRowPlaceholderId)}),
                     dlg::Link(kUserVectorNoteId, "(user vector information)")}),
         dlg::Group(
             "1 kHz oscillator",
             {dlg::CheckBox(kOscillatorEnableId, "Enable oscillator"),
              dlg::Row({dlg::Label("Trim:"),
                        dlg::DropList(kOscillatorTrimId,
                                      {"-8.25%", "-16.5%", "-24.75%", "-33%", "+24.75%", "+16.5%",
                                       "+8.25%", "Untrimmed, erased device"}),
                        dlg::CheckBox(kOscillatorFactoryTrimId, "Use Factory Trim Value")})})});
    return &page;
}

void CpmPMC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_lvdEnable.AttachTo(page, kLvdEnableId);
    m_lvdLevel.AttachTo(page, kLvdLevelId);
    m_protection.AttachTo(page, kProtectionId);
    m_regulatorTrim.AttachTo(page, kRegulatorTrimId);
    m_lvdFactoryTrim.AttachTo(page, kLvdFactoryTrimId);
    m_lvdReset.AttachTo(page, kLvdResetId);
    m_partialPowerDown.AttachTo(page, kPartialPowerDownId);
    m_wakeUpOnInterrupt.AttachTo(page, kWakeUpOnInterruptId);
    m_bandgapBuffer.AttachTo(page, kBandgapBufferId);
    m_lvdInterrupt.AttachTo(page, kLvdInterruptId);
    m_outOfRegulationInterrupt.AttachTo(page, kOutOfRegulationInterruptId);
    m_oscillatorEnable.AttachTo(page, kOscillatorEnableId);
    m_oscillatorTrim.AttachTo(page, kOscillatorTrimId);
    m_oscillatorFactoryTrim.AttachTo(page, kOscillatorFactoryTrimId);
}

void CpmPMC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& scr = Item(kScrItem);
    tPerCfgItem& cr2 = Item(kCr2Item);
    m_lvdEnable.Bind(scr, kLvdEnableBit, false, "Low-Voltage Detect");
    m_lvdLevel.Bind(scr, kLvdLevelBit, kLvdLevelBit, 0, "Low-Voltage Detect");
    m_protection.Bind(scr, kProtectionLow, kProtectionHigh, 0,
                      "Write protection for SCR and TRIM registers");
    m_regulatorTrim.Bind(cr2, kRegulatorTrimLow, kRegulatorTrimHigh, 0, "Regulator trim bits");
    m_lvdFactoryTrim.Bind(Item(kLvdFactoryTrimItem), 0, false, "Use LVD Factory Trim Value");
    m_lvdReset.Bind(scr, kLvdResetBit, false, "Low-Voltage Detect Reset");
    m_partialPowerDown.Bind(scr, kPartialPowerDownBit, false, "Partial Power Down");
    m_wakeUpOnInterrupt.Bind(scr, kWakeUpOnInterruptBit, false, "Low Power Wake-Up on Interrupt");
    m_bandgapBuffer.Bind(scr, kBandgapBufferBit, false, "Bandgap Buffer");
    m_lvdInterrupt.Bind(scr, kLvdInterruptBit, false, "Low-Voltage Detect Interrupt");
    m_outOfRegulationInterrupt.Bind(scr, kOutOfRegulationInterruptBit, false,
                                    "Out of Regulation Interrupt");
    m_oscillatorEnable.Bind(cr2, kOscillatorEnableBit, false, "PMC 1KHz Oscillator");
    m_oscillatorTrim.Bind(cr2, kOscillatorTrimLow, kOscillatorTrimHigh, 0,
                          "PMC 1 KHz oscilator trim");
    m_oscillatorFactoryTrim.Bind(Item(kOscillatorFactoryTrimItem), 0, false,
                                 "Use 1KHz Oscilator Factory Trim Value");
}

void CpmPMC::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    // Enabling detection or the oscillator, or choosing a factory trim, changes what applies.
    UpdateControlStates();
}

void CpmPMC::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    const bool lvd = m_lvdEnable.IsChecked() == 1;
    page->EnableControls({kLvdLevelId, kOutOfRegulationInterruptId, kLvdInterruptId, kLvdResetId,
                          kPartialPowerDownId, kWakeUpOnInterruptId, kBandgapBufferId,
                          kLvdFactoryTrimId},
                         lvd);
    page->EnableControl(kRegulatorTrimId, lvd && m_lvdFactoryTrim.IsChecked() != 1);
    if (!InterruptRows().empty()) {
        const CInterruptRow& row = InterruptRows().front();
        page->ShowControl(kFirstRowPlaceholderId, lvd);
        page->EnableControl(kIsrNameLabelId, lvd);
        if (row.page)
            row.page->ShowControl(kRowPriorityId, false);
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, row.vector);
    } else {
        // Without an interrupt there is no row to name or to note.
        page->ShowControls({kIsrNameLabelId, kFirstRowPlaceholderId, kUserVectorNoteId}, false);
    }
    const bool oscillator = m_oscillatorEnable.IsChecked() == 1;
    page->EnableControl(kOscillatorFactoryTrimId, oscillator);
    page->EnableControl(kOscillatorTrimId, oscillator && m_oscillatorFactoryTrim.IsChecked() != 1);
}

bool CpmPMC::LowPowerOscillatorEnabled() const {
    if (!m_oscillatorEnable.IsBound())
        return (Item(kCr2Item).dwValue >> kOscillatorEnableBit) & 1u;
    return m_oscillatorEnable.IsChecked() != 0;
}
