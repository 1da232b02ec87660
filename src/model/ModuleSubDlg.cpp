#include "model/ModuleSubDlg.h"

#include "model/DisplayText.h"
#include "model/ModuleBase.h"
#include "model/PageHints.h"

CModuleSubDlg::CModuleSubDlg(const CDialogTemplate& dialogTemplate, CPage* parent)
    : CPage(dialogTemplate, parent) {}

int CModuleSubDlg::SubPageId() const {
    if (!Parent())
        return 0;
    for (const auto& control : Parent()->Controls()) {
        if (control->SubPage() == this)
            return control->Id();
    }
    return 0;
}

IModuleHost* CModuleSubDlg::Document() const {
    CModuleBase* module = Module();
    return module && module->Host() ? module->Host() : hwc::HostBeingOpened();
}

void CModuleSubDlg::ShowFrequency(int controlId, double hz, bool autoUnit, const char* zeroText,
                                  const char* format, std::string* out) {
    const std::string text = FrequencyText(hz, autoUnit, zeroText, format);
    if (controlId != 0)
        SetControlText(controlId, text);
    if (out)
        *out = text;
}

void CModuleSubDlg::ShowTime(int controlId, double seconds, bool autoUnit, const char* zeroText,
                             const char* format, std::string* out) {
    const std::string text = TimeText(seconds, autoUnit, zeroText, format);
    if (controlId != 0)
        SetControlText(controlId, text);
    if (out)
        *out = text;
}

void CModuleSubDlg::SetWarning(int controlId, bool active, const char* message,
                               const char* detail) {
    ShowIndicator(controlId, active, message);
    if (IModuleHost* host = Document())
        host->SetWarning(Module(), (SubPageId() << kSubPageShift) + controlId, active, message,
                         detail);
}

void CModuleSubDlg::RefreshBindings() {
    for (IBinding* binding : Bindings())
        binding->Refresh();
    if (IModuleHost* host = Document())
        host->UpdateAllViews(Module(), hwc::kHintSubPageRefreshed, this);
}

void CModuleSubDlg::ApplyBindings() {
    for (IBinding* binding : Bindings())
        binding->Apply();
    if (IModuleHost* host = Document())
        host->UpdateAllViews(Module(), hwc::kHintSubPageApplied, this);
}

void CModuleSubDlg::SelfTestBindings() {
    for (IBinding* binding : Bindings())
        binding->SelfTest();
}
