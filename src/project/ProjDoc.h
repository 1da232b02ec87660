#pragma once
// The document of this product: the processor family's tables and its module classes.

#include "modules/CModule.h"
#include "project/ProcessorTable.h"
#include "project/ProjDocBase.h"

class CProjDoc : public CProjDocBase, public CModule::IProcessorGroups {
public:
    // Whether the open project's processor belongs to processor-table entry 0..118.
    bool IsProcessorGroup(int entry) const override;
    const tProcessorGroups& ProcessorGroups() const { return m_groups; }

protected:
    const CRuntimeClass* ModuleClassFor(std::string_view typeKey) const override;
    std::span<const tProcessorDefine> ProcessorDefineRows() const override;
    // Identifies the processor, then applies the part-name alias and computes its groups.
    void IdentifyProcessor() override;

private:
    tProcessorGroups m_groups{};
};
