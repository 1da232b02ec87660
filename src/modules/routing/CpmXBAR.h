#pragma once
// An inter-peripheral crossbar: each output is connected to one of the inputs, and on crossbars
// with a control block the first four outputs can raise an interrupt or a DMA request on an
// edge. Outputs, inputs and the control block are read from the architecture file's module
// information, and the registers and the output pages are built from them. The crossbar warns
// about an output whose selected input comes from a module that does not produce the signal.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "modules/framework/CModule.h"
#include "modules/routing/CrossbarSourceChoice.h"
#include "modules/routing/CpmXBARSources.h"
#include "modules/routing/RoutingQueries.h"

class CModuleSubDlg;

// One output page: the output's label (a link to its list) and its input selection.
class CpmXBAR_OutDlg {
public:
    static constexpr int kLabelId = 1001;
    static constexpr int kSelectionId = 1002;
    static constexpr int kWarningId = 1003;

    static const CDialogTemplate& Template();

    CSetCrossbarSource& Selection() { return m_selection; }
    const CSetCrossbarSource& Selection() const { return m_selection; }

private:
    CSetCrossbarSource m_selection;
};

class CpmXBAR : public CModule, public hwc::ICrossbar {
    HWC_DECLARE_MODULE_CLASS(CpmXBAR, CModule)
public:
    static constexpr unsigned kTemplateId = 2071;

    // Page controls.
    static constexpr int kTablePlaceholderId = 1700; // "Crossbar Table here", hidden
    static constexpr int kNoOutputsId = 1701;
    // Control block, per output 0 to 3: id + output.
    static constexpr int kControlLabelId = 1710;
    static constexpr int kDmaEnableId = 1714;
    static constexpr int kInterruptEnableId = 1718;
    static constexpr int kEdgeId = 1722;
    static constexpr int kHeadingPlaceholderId = 510;
    // Output pages: kOutputPageBase + output.
    static constexpr int kOutputPageBase = 0xE900;

    // Limits of the module information.
    static constexpr int kMaxOutputs = 100;
    static constexpr int kMaxInputs = 100;
    static constexpr std::size_t kMaxNameLength = 127;
    static constexpr int kControlOutputs = 4;

    // One output or input as the module information gives it.
    struct tOutput {
        int index = 0;     // as written; used only in the label
        std::string label; // "3. PWM_A0_EXTA"
        int number = 0;
    };
    struct tInput {
        std::string name;
        int number = 0;
    };

    CpmXBAR(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmXBAR() override;

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void CheckWarnings() override;
    void GetSummary(std::string& text) const override;
    // A crossbar pin signal counts while an output selects it ("XB_IN3") or while the output
    // selects anything ("XB_OUT4").
    bool IsPinFunctionUsed(const std::string& signal) const override;

    // hwc::ICrossbar
    bool IsOutputConfigured(int output) const override;
    int OutputMode(int output) const override;
    hwc::tCrossbarSourceCheck CheckOutputSource(int output) const override;
    bool IsSignalInUse(std::string_view signal) const override;
    std::string OutputLabel(int output) const override;
    std::optional<hwc::tCrossbarField> OutputField(int output) const override;
    std::vector<std::string> InputNames() const override;

    const std::vector<tOutput>& Outputs() const { return m_outputs; }
    const std::vector<tInput>& Inputs() const { return m_inputs; }
    // The control block: a "cfg" line asks for it, and there is an output to serve.
    bool HasControlBlock() const { return m_showCfg && !m_outputs.empty(); }
    bool UsesSelNames() const { return m_showSel; }
    // Bits of an output's selection field: 5, or 6 on FamD and for "XBAR_A" on FamE and FamF.
    int FieldWidth() const;
    int OutputCount() const { return static_cast<int>(m_outputs.size()); }
    // The output's selection binding, or null.
    CSetCrossbarSource* Selection(int output);
    CSetBit& DmaEnable(int output) { return m_dmaEnable[static_cast<std::size_t>(output)]; }
    CSetBit& InterruptEnable(int output) {
        return m_interruptEnable[static_cast<std::size_t>(output)];
    }
    CSetMode& Edge(int output) { return m_edge[static_cast<std::size_t>(output)]; }
    // The document's control number of a control in an output's page.
    static int OutputControlId(int output, int controlId);

protected:
    void AttachControls(CPage& page) override;

private:
    void ReadModuleInfo();
    void BuildRegisters(IModuleHost* host);
    void RebuildCommentItems();
    hwc::xbar::ESourceTable SourceTable() const;
    bool IsOutput(int output) const { return output >= 0 && output < OutputCount(); }
    // The selected input position of an existing output.
    int SelectedInput(int output) const;

    bool m_infoRead = false;
    bool m_showCfg = false;
    bool m_showSel = false;
    std::vector<tOutput> m_outputs;
    std::vector<tInput> m_inputs;
    // The source of each input, read once from its position and name.
    std::vector<std::optional<hwc::xbar::tSourceEntry>> m_sources;
    std::vector<std::unique_ptr<CpmXBAR_OutDlg>> m_outputDialogs;
    std::array<CSetBit, kControlOutputs> m_dmaEnable;
    std::array<CSetBit, kControlOutputs> m_interruptEnable;
    std::array<CSetMode, kControlOutputs> m_edge;
};
