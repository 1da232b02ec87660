#pragma once
// The document of this product: the processor family's tables and its module classes.

#include "modules/framework/CModule.h"
#include "modules/clocks/ClockQueries.h"
#include "project/ProcessorTable.h"
#include "project/ProjDocBase.h"

class CProjDoc : public CProjDocBase,
                 public CModule::IProcessorGroups,
                 public hwc::IProjectClocks {
public:
    // The external clock and crystal frequencies the project file names (its clock macros).
    float ExternalClockMHz() const override { return m_processor.extClockMHz; }
    void SetExternalClockMHz(float mhz) override { m_processor.extClockMHz = mhz; }
    float CrystalClockMHz() const override { return m_processor.crystalMHz; }
    void SetCrystalClockMHz(float mhz) override { m_processor.crystalMHz = mhz; }

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
