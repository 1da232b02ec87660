#include "modules/interrupts/InterruptQueries.h"

#include "base/TextUtil.h"
#include "model/ModuleLink.h"
#include "model/Page.h"
#include "modules/framework/CModule.h"

namespace hwc {

namespace {

CModule* ControllerModule(const CModuleBase& asker) {
    const auto* module = dynamic_cast<const CModule*>(&asker);
    if (module)
        return module->FindInterruptController();
    return dynamic_cast<CModule*>(CModuleBase::FindModule(asker.Host(), "INTC", "INTC"));
}

} // namespace

IInterruptController* FindInterruptControllerOf(const CModuleBase& asker) {
    return dynamic_cast<IInterruptController*>(ControllerModule(asker));
}

std::optional<tUserVector> UserVectorOf(const CModuleBase& asker, int source) {
    const IInterruptController* controller = FindInterruptControllerOf(asker);
    return controller ? controller->UserVectorOf(source) : std::nullopt;
}

bool ClaimInterruptVector(const CModuleBase& asker, int source, const std::string& routine,
                          bool claim) {
    IInterruptController* controller = FindInterruptControllerOf(asker);
    return controller && controller->ClaimVector(&asker, source, routine, claim);
}

bool DebugPortInterruptsEnabled(const CModuleBase& asker) {
    const IInterruptController* controller = FindInterruptControllerOf(asker);
    return controller && controller->DebugPortInterruptsEnabled();
}

void ShowUserVectorNote(CModuleBase& asker, int controlId, int source, const char* format) {
    CPage* page = asker.Page();
    if (!page)
        return;
    CPageControl* note = page->FindControl(controlId);
    if (!note)
        return;
    const std::optional<tUserVector> user = UserVectorOf(asker, source);
    if (!user) {
        note->Show(false);
        return;
    }
    const CModule* controller = ControllerModule(asker);
    const std::string text = Format(format, user->number, user->routine.c_str());
    note->SetText(LinkText(controller->InstanceName(), controller->TypeKey(),
                           controller->Title(), text.c_str(), 0, nullptr, false));
    note->Show(true);
}

} // namespace hwc
