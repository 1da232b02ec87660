#include "modules/memory/CpmCRC.h"

#include <iterator>

#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"GPOLY_INIT", 0, DW32},
    {"CTRL_INIT", 0, DW32},
};
const tPerCfgDef kOlderRegisters[] = {
    {"CRCH_INIT", 0, DW16},
    {"CRCL_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));
static_assert(std::size(kOlderRegisters) == std::size(kRegisters));

// Control register fields.
constexpr int kWidthBit = 24;
constexpr int kComplementBit = 26;
constexpr int kTransposeReadLow = 28;
constexpr int kTransposeReadHigh = 29;
constexpr int kTransposeWriteLow = 30;
constexpr int kTransposeWriteHigh = 31;
constexpr int kWidth32 = 1;

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

bool HostHasControl() {
    return HostInGroup(CModule::kFamE) || HostInGroup(CModule::kFamD);
}

using R = CpmCRC;

const std::vector<std::string> kTransposeItems = {"No transposition", "Bits transposed, bytes not",
                                                  "Both bits and bytes", "Only bytes, bits not"};

tLayoutItem PolynomialGroup() {
    return dlg::Group(
        "CRC Polynomial",
        {dlg::Row({dlg::Label("High:"), dlg::Edit(R::kHighId),
                   dlg::UpDown(R::kHighSpinId, 0, static_cast<std::int32_t>(R::kHalfWordMax))}),
         dlg::Row({dlg::Label("Low:"), dlg::Edit(R::kLowId),
                   dlg::UpDown(R::kLowSpinId, 0, static_cast<std::int32_t>(R::kHalfWordMax))})});
}

} // namespace

CpmCRC::CpmCRC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, HostHasControl() ? kTemplateId : kOlderTemplateId, descriptor, nullptr, 0) {
    SetItemCount(kRegisterCount);
    InitRegisters(nullptr, Items(), kRegisterCount, InstanceName(), {},
                  HasControl() ? kRegisters : kOlderRegisters, true);
    if (HasControl())
        AddCommentItems(
            {{&m_width, 0}, {&m_complement, 3}, {&m_transposeRead, 0}, {&m_transposeWrite, 0}});
    AddCommentItems({{&m_high, 0}, {&m_low, 0}});
}

const CDialogTemplate* CpmCRC::DialogTemplate() const {
    static const CDialogTemplate newer(
        kTemplateId,
        {dlg::Group(
             "CRC Protocol",
             {dlg::Row({dlg::Label("CRC Protocol width:"),
                        dlg::DropList(kWidthId, {"16-bit", "32-bit"})}),
              dlg::CheckBox(kComplementId, "Complement Read of CRC Data register (XOR checksum "
                                           "with 0xFFFFFFFF or 0xFFFF)"),
              dlg::Row({dlg::Label("Transpose For Read:"),
                        dlg::DropList(kTransposeReadId, kTransposeItems)}),
              dlg::Row({dlg::Label("Transpose for Write:"),
                        dlg::DropList(kTransposeWriteId, kTransposeItems)})}),
         PolynomialGroup()});
    static const CDialogTemplate older(kOlderTemplateId, {PolynomialGroup()});
    return HasControl() ? &newer : &older;
}

void CpmCRC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kHighSpinId, 0, static_cast<std::int32_t>(kHalfWordMax));
    page.SetSpinRange(kLowSpinId, 0, static_cast<std::int32_t>(kHalfWordMax));
    if (HasControl()) {
        m_width.AttachTo(page, kWidthId);
        m_complement.AttachTo(page, kComplementId);
        m_transposeRead.AttachTo(page, kTransposeReadId);
        m_transposeWrite.AttachTo(page, kTransposeWriteId);
    }
    m_high.AttachTo(page, kHighId);
    m_low.AttachTo(page, kLowId);
}

void CpmCRC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    if (HasControl()) {
        tPerCfgItem& control = Item(kControlItem);
        tPerCfgItem& polynomial = Item(kPolynomialItem);
        m_width.Bind(control, kWidthBit, kWidthBit, 0, "CRC Protocol width");
        m_complement.Bind(control, kComplementBit, false, "Complement Read of CRC Data register");
        m_transposeRead.Bind(control, kTransposeReadLow, kTransposeReadHigh, 0,
                             "Transpose For Read");
        m_transposeWrite.Bind(control, kTransposeWriteLow, kTransposeWriteHigh, 0,
                              "Transpose for Write");
        m_high.Bind(polynomial, 16, 31, 0, "CRC Polynomial High Half-word", true, 0, kHalfWordMax,
                    true);
        m_low.Bind(polynomial, 0, 15, 0, "CRC Polynomial Low Half-word", true, 0, kHalfWordMax,
                   true);
        return;
    }
    m_high.Bind(Item(kHighItem), 0, 15, 0, "CRC Polynomial High", true, 0, kHalfWordMax, true);
    m_low.Bind(Item(kLowItem), 0, 15, 0, "CRC Polynomial Low", true, 0, kHalfWordMax, true);
}

void CpmCRC::UpdateControlStates() {
    CPage* page = Page();
    if (!page || !HasControl())
        return;
    // A 16-bit protocol uses only the low half-word of the polynomial.
    const std::uint32_t width = (Item(kControlItem).dwValue >> kWidthBit) & 1u;
    page->EnableControl(kHighId, width == kWidth32);
}
