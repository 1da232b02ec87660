#include "project/ProjDoc.h"

#include "project/ModuleRegistry.h"

bool CProjDoc::IsProcessorGroup(int entry) const {
    return entry >= 0 && entry < kProcessorEntryCount && m_groups[static_cast<std::size_t>(entry)];
}

const CRuntimeClass* CProjDoc::ModuleClassFor(std::string_view typeKey) const {
    return FindModuleClass(typeKey);
}

std::span<const tProcessorDefine> CProjDoc::ProcessorDefineRows() const {
    return ProcessorDefines();
}

void CProjDoc::IdentifyProcessor() {
    CProjDocBase::IdentifyProcessor();
    ApplyPartNameAlias(m_processor.processorName, m_processor.defineRow);
    m_groups = ComputeProcessorGroups(m_processor.processorName);
}
