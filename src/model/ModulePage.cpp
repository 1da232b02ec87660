// The page-side operations of the module base: creating the page, moving values between
// registers and controls, validating, self-testing, derived-value texts and warnings.

#include "base/Messages.h"
#include "model/DialogTemplate.h"
#include "model/DisplayText.h"
#include "model/ModuleBase.h"
#include "model/ModuleSubDlg.h"
#include "model/PageHints.h"

namespace {

using hwc::kHintControlsApplied;
using hwc::kHintControlsRefreshed;

// The first invalid visible and enabled control of the page, its sub-pages included.
CPageControl* FirstInvalidControl(const CPage& page, bool show) {
    for (const auto& control : page.Controls()) {
        if (!control->IsVisible() || !control->IsEnabled())
            continue;
        if (CPage* subPage = control->SubPage()) {
            if (CPageControl* invalid = FirstInvalidControl(*subPage, show))
                return invalid;
            continue;
        }
        auto* binding = dynamic_cast<IBinding*>(control->Handler());
        if (binding && !binding->ValidateControl(show))
            return control.get();
    }
    return nullptr;
}

// Keeps the first message a validation would show and answers every question in the way that
// changes nothing.
class CFirstMessage : public hwc::IMessageHandler {
public:
    hwc::EAnswer Show(std::string_view text, hwc::EButtons buttons, hwc::EAnswer) override {
        if (m_text.empty())
            m_text = text;
        switch (buttons) {
        case hwc::EButtons::Ok:
            return hwc::EAnswer::Ok;
        case hwc::EButtons::YesNo:
            return hwc::EAnswer::No;
        default:
            return hwc::EAnswer::Cancel;
        }
    }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

// The caption a user knows the control by: a box's own, else that of the label before it.
std::string ControlLabel(const CPageControl& control) {
    const EControlKind kind = control.Kind();
    const CPageControl* named = &control;
    if (kind != EControlKind::CheckBox && kind != EControlKind::RadioButton)
        named = control.Page().ControlBefore(control);
    std::string_view label = named ? std::string_view(named->Text()) : std::string_view();
    while (!label.empty() && (label.back() == ':' || label.back() == ' '))
        label.remove_suffix(1);
    return std::string(label);
}

void SelfTestPage(const CPage& page) {
    for (IBinding* binding : page.Bindings())
        binding->SelfTest();
    for (CModuleSubDlg* subPage : page.SubPages())
        SelfTestPage(*subPage);
}

} // namespace

bool CModuleBase::CreatePage() {
    if (m_page)
        return true;
    const CDialogTemplate* dialogTemplate = DialogTemplate();
    if (!dialogTemplate)
        return false;
    m_page = std::make_unique<CPage>(*dialogTemplate);
    m_page->SetModule(this);
    m_page->SetCommandHandler(this);
    AttachControls(*m_page);
    return true;
}

void CModuleBase::OnInitialUpdate() {
    if (m_page) {
        for (IBinding* binding : m_page->Bindings())
            binding->Refresh();
    }
    Recalculate();
    if (m_host && m_host->IsProjectLoaded())
        CheckWarnings();
}

bool CModuleBase::RefreshControls() {
    if (!m_page)
        return false;
    for (IBinding* binding : m_page->Bindings())
        binding->Refresh();
    for (CModuleSubDlg* subPage : m_page->SubPages()) {
        if (subPage->IsVisible())
            subPage->RefreshBindings();
    }
    UpdateControlStates();
    if (m_host)
        m_host->UpdateAllViews(this, kHintControlsRefreshed, this);
    return true;
}

bool CModuleBase::ApplyControls() {
    if (!m_page)
        return false;
    for (IBinding* binding : m_page->Bindings())
        binding->Apply();
    for (CModuleSubDlg* subPage : m_page->SubPages())
        subPage->ApplyBindings();
    if (m_host)
        m_host->UpdateAllViews(this, kHintControlsApplied, this);
    return true;
}

bool CModuleBase::Validate(bool show) {
    if (!CreatePage())
        return true;
    CPageControl* invalid = FirstInvalidControl(*m_page, show);
    if (!invalid)
        return true;
    if (show) {
        if (IPageObserver* observer = m_page->Observer())
            observer->OnFocusRequested(*invalid);
    }
    return false;
}

std::string CModuleBase::ValidationProblem() {
    if (!CreatePage())
        return {};
    CFirstMessage first;
    CPageControl* invalid = nullptr;
    {
        hwc::ScopedMessageHandler scope(first);
        invalid = FirstInvalidControl(*m_page, true);
    }
    if (!invalid)
        return {};
    const std::string label = ControlLabel(*invalid);
    const std::string reason = first.Text().empty() ? "the value is not valid" : first.Text();
    return label.empty() ? reason : label + ": " + reason;
}

void CModuleBase::SelfTest() {
    if (m_page)
        SelfTestPage(*m_page);
}

void CModuleBase::ShowFrequency(int controlId, double hz, bool autoUnit, const char* zeroText,
                                const char* format, std::string* out) {
    const std::string text = FrequencyText(hz, autoUnit, zeroText, format);
    if (m_page && controlId != 0)
        m_page->SetControlText(controlId, text);
    if (out)
        *out = text;
}

void CModuleBase::ShowTime(int controlId, double seconds, bool autoUnit, const char* zeroText,
                           const char* format, std::string* out) {
    const std::string text = TimeText(seconds, autoUnit, zeroText, format);
    if (m_page && controlId != 0)
        m_page->SetControlText(controlId, text);
    if (out)
        *out = text;
}

void CModuleBase::SetWarning(int indicatorId, bool active, const char* message,
                             const char* detail) {
    if (m_page)
        m_page->ShowIndicator(indicatorId, active, message);
    if (m_host)
        m_host->SetWarning(this, indicatorId, active, message, detail);
}
