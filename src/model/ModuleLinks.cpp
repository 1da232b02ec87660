// Following module links: from a link to the module it names, its page and the control.
#include <cctype>

#include "base/ExternalLink.h"
#include "base/Messages.h"
#include "model/ModuleBase.h"

void CModuleBase::FollowLink(const std::string& link, const std::string& extra) {
    const tModuleLink parsed = ParseModuleLink(link);
    if (!parsed.isModuleLink) {
        if (!hwc::OpenExternalLink(link))
            hwc::ShowMessage("Can not open link \"" + link + "\"");
        return;
    }
    CModuleBase* target = FindModule(Host(), parsed.instanceName, parsed.typeKey);
    if (!target)
        return;
    if (!parsed.noActivate && (!Host() || !Host()->ShowModulePage(*target)))
        return;
    target->NavigateTo(this, link, extra);
}

void CModuleBase::NavigateTo(CModuleBase* sender, const std::string& link,
                             const std::string& extra) {
    const tModuleLink parsed = ParseModuleLink(link);
    const std::string& reference = parsed.controlReference;
    if (!reference.empty() && m_page && m_page->IsVisible()) {
        CPageControl* control = nullptr;
        if (std::isdigit(static_cast<unsigned char>(reference[0]))) {
            if (const int id = ControlIdOfReference(reference); id != 0)
                control = FindControl(id);
        } else {
            control = FindControlByText(reference);
        }
        if (control) {
            const auto tipText = parsed.parameters.find("tiptext");
            const auto tipTitle = parsed.parameters.find("tiptitle");
            const std::string& text =
                tipText != parsed.parameters.end() ? tipText->second : extra;
            if (!text.empty())
                control->Page().ShowToolTip(
                    *control, text,
                    tipTitle != parsed.parameters.end() ? tipTitle->second : std::string());
        }
    }
    if (parsed.query.empty())
        return;
    OnLinkCommand(sender, parsed, parsed.query);
    OnLinkParameters(sender, parsed, parsed.parameters);
}

bool CModuleBase::ShowToolTip(int controlId, const std::string& text, const std::string& title) {
    CPageControl* control = FindControl(controlId);
    if (!control)
        return false;
    control->Page().ShowToolTip(*control, text, title);
    return true;
}
