#include "bindings/SetCtrl.h"

#include <cstdlib>

#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "model/RegisterItem.h"

namespace hwc {
namespace {
SelfTestSink g_selfTestSink = nullptr;
} // namespace

void SetSelfTestSink(SelfTestSink sink) {
    g_selfTestSink = sink;
}

void WriteSelfTestLine(std::string_view line) {
    if (g_selfTestSink)
        g_selfTestSink(line);
}

std::string SelfTestRegisterFormat(std::string_view itemName, std::uint32_t flags) {
    const std::uint32_t width = flags & RegFlag::WIDTH_MASK;
    const int digits = width == RegFlag::DW8 ? 2 : width == RegFlag::DW32 ? 8 : 4;
    return Format("Reg[%.*s] = 0x%%0%dx", static_cast<int>(itemName.size()), itemName.data(),
                  digits);
}

std::string SelfTestRegisterText(std::string_view itemName, std::uint32_t flags,
                                 std::uint32_t value) {
    return SelfTestRegisterText(SelfTestRegisterFormat(itemName, flags), value);
}

std::string SelfTestRegisterText(const std::string& format, std::uint32_t value) {
    // The format ends in the one conversion SelfTestRegisterFormat made; the item name before
    // it is copied as it is, so a '%' in a name cannot act as a conversion.
    const std::size_t conversion = format.rfind("%0");
    if (conversion == std::string::npos)
        return format;
    const int digits = std::atoi(format.c_str() + conversion + 2);
    return format.substr(0, conversion) + Format("%0*x", digits, value);
}

std::string PadSelfTestColumn(std::string_view text) {
    std::string padded(text);
    if (padded.size() < 40)
        padded.append(40 - padded.size(), ' ');
    return padded;
}

} // namespace hwc

CSetCtrl::~CSetCtrl() {
    Detach();
}

bool CSetCtrl::IsActive() const {
    if (m_alwaysActive)
        return true;
    if (!m_enabled)
        return false;
    return !m_control || (m_control->IsEnabled() && m_control->IsVisible());
}

void CSetCtrl::Enable(bool enable) {
    m_enabled = enable;
    if (!m_control)
        return;
    m_control->Enable(enable);
    if (enable)
        Refresh();
}

int CSetCtrl::GetCtrlId() {
    if (m_control)
        m_ctrlId = m_control->Id();
    return m_ctrlId;
}

void CSetCtrl::Attach(CPageControl& control) {
    Detach();
    m_control = &control;
    m_enabled = true;
    m_ctrlId = control.Id();
    control.SetHandler(this);
    OnAttached();
}

bool CSetCtrl::AttachTo(CPage& page, int id) {
    CPageControl* control = page.FindControl(id);
    if (!control)
        return false;
    Attach(*control);
    return true;
}

void CSetCtrl::Detach() {
    if (!m_control)
        return;
    if (m_control->Handler() == this)
        m_control->SetHandler(nullptr);
    m_control = nullptr;
}

void CSetCtrl::OnControlEvent(CPageControl&, EControlEvent event) {
    if (event == EControlEvent::FocusLost)
        Apply();
}

void CSetCtrl::OnControlDestroyed(CPageControl& control) {
    if (m_control == &control)
        m_control = nullptr;
}

std::string CSetCtrl::LabelBefore() const {
    if (!m_control)
        return {};
    const CPageControl* before = m_control->Page().ControlBefore(*m_control);
    if (!before)
        return {};
    // A list or field before this control shows a setting, not a caption: its text changes
    // with the value, so it would make the description depend on when the page was made.
    switch (before->Kind()) {
    case EControlKind::DropList:
    case EControlKind::DropDown:
    case EControlKind::Edit:
    case EControlKind::ReadOnlyEdit:
    case EControlKind::ListBox:
    case EControlKind::UpDown:
        return {};
    default:
        break;
    }
    std::string_view label = before->Text();
    while (!label.empty() && label.back() == ':')
        label.remove_suffix(1);
    return std::string(label);
}

std::string CSetCtrl::CompletedDescription(std::string description, std::string_view label) {
    if (description.empty() || description.back() == ':') {
        if (!description.empty())
            description += ' ';
        description += label;
    }
    return hwc::ReplaceAll(description, "\n", " ");
}

CModuleBase* CSetCtrl::PageModule() const {
    return m_control ? m_control->Page().Module() : nullptr;
}

void CSetCtrl::NotifyDocument(int hint) {
    CModuleBase* module = PageModule();
    if (module && module->Host())
        module->Host()->UpdateAllViews(module, hint, this);
}
