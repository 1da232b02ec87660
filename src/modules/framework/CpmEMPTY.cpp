#include "modules/framework/CpmEMPTY.h"

#include "model/DialogTemplate.h"

CpmEMPTY::CpmEMPTY(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {}

const CDialogTemplate* CpmEMPTY::DialogTemplate() const {
    static const CDialogTemplate page(kTemplateId, {dlg::Label(kPageText)});
    return &page;
}
