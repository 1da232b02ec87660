#include "modules/timers/CpmQTALL.h"

#include "model/DialogTemplate.h"

CpmQTALL::CpmQTALL(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {}

const CDialogTemplate* CpmQTALL::DialogTemplate() const {
    static const CDialogTemplate page(kTemplateId, {dlg::Label(kPageText)});
    return &page;
}
