#pragma once
// The event generator: four channels A to D, each with two and-or-invert logic blocks (AOI0,
// AOI1) over the channel's inputs A to D, an input filter per block, and an output stage that
// combines the two blocks (bypass, set-reset, toggle, D or JK flip-flop, latch) with its
// initial value and the synchronisation of the inputs to the bus clock.

#include <array>
#include <memory>
#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/routing/AoiLogic.h"

class CpmEVTG;
class CModuleSubDlg;

// One logic block of a channel: its four product terms and its input filter.
class CpmEVTG_EVENT_AOI_Dlg {
public:
    static constexpr int kGroupId = 1000;
    static constexpr int kFilterCountId = 1301;
    static constexpr int kFilterPeriodId = 1302;
    static constexpr int kLatencyId = 1303;

    CpmEVTG_EVENT_AOI_Dlg(CpmEVTG& module, int channel, int block);
    CpmEVTG_EVENT_AOI_Dlg(const CpmEVTG_EVENT_AOI_Dlg&) = delete;
    CpmEVTG_EVENT_AOI_Dlg& operator=(const CpmEVTG_EVENT_AOI_Dlg&) = delete;

    static const CDialogTemplate& Template();

    void Bind();
    void Attach(CModuleSubDlg& page);
    void Refresh();
    // Shows the filter latency in the page.
    void ShowLatency();
    // The block's two term registers.
    std::array<std::uint32_t, 2> Registers() const;

    CAoiTermFields& Terms() { return m_terms; }
    CSetMode& FilterCount() { return m_filterCount; }
    CSetValue& FilterPeriod() { return m_filterPeriod; }

private:
    CpmEVTG& m_module;
    int m_channel;
    int m_block;
    CAoiTermFields m_terms;
    CSetMode m_filterCount;
    CSetValue m_filterPeriod;
};

// One channel: its inputs, its two logic blocks and its output stage.
class CpmEVTG_EVENT_Dlg {
public:
    static constexpr int kGroupId = 1000;
    static constexpr int kOutputStageId = 1401;
    static constexpr int kStageRoleId = 1402;
    static constexpr int kInitialValueId = 1403;
    static constexpr int kFirstSyncId = 1410; // + input
    // The placeholders of the logic blocks, unique in the module's page: + 2 x channel + block.
    static constexpr int kFirstBlockPageId = 0xE910;

    CpmEVTG_EVENT_Dlg(CpmEVTG& module, int channel);
    CpmEVTG_EVENT_Dlg(const CpmEVTG_EVENT_Dlg&) = delete;
    CpmEVTG_EVENT_Dlg& operator=(const CpmEVTG_EVENT_Dlg&) = delete;

    // The page of a channel (its logic blocks' placeholders are numbered by channel).
    static const CDialogTemplate& Template(int channel);

    void SetLine(const hwc::tLogicLine& line);
    void Bind();
    void Attach(CModuleSubDlg& page);
    void Refresh();
    void UpdateState();
    void CheckWarnings();

    int Channel() const { return m_channel; }
    CLogicInputs& Inputs() { return m_inputs; }
    CpmEVTG_EVENT_AOI_Dlg& Block(int block) { return *m_blocks[static_cast<std::size_t>(block)]; }
    CSetMode& OutputStage() { return m_outputStage; }
    CSetMode& InitialValue() { return m_initialValue; }
    CSetBit& Sync(int input) { return m_sync[static_cast<std::size_t>(input)]; }
    hwc::CTextSummary& Summary() { return m_summary; }
    // "EVTG Channel A", as warnings name the channel.
    std::string Caption() const;

private:
    CpmEVTG& m_module;
    int m_channel;
    CLogicInputs m_inputs;
    std::array<std::unique_ptr<CpmEVTG_EVENT_AOI_Dlg>, 2> m_blocks;
    CSetMode m_outputStage;
    CSetMode m_initialValue;
    std::array<CSetBit, hwc::kAoiInputCount> m_sync;
    hwc::CTextSummary m_summary;
};

class CpmEVTG : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmEVTG, CModule)
public:
    static constexpr unsigned kTemplateId = 2110;
    static constexpr int kChannelCount = 4;
    static constexpr int kBlockCount = 2;

    // Page controls.
    static constexpr int kFirstChannelPageId = 0xE900; // + channel

    // Registers of a channel, in table order; a channel's first item is 7 x channel.
    enum EChannelItem : int {
        kAoi0Bft01 = 0,
        kAoi0Bft23,
        kAoi1Bft01,
        kAoi1Bft23,
        kCtrl,
        kAoi0Filt,
        kAoi1Filt,
        kItemsPerChannel
    };

    // Output stages of the CTRL register.
    enum EOutputStage : int {
        kBypass = 0,
        kSetReset,
        kToggle,
        kDFlipFlop,
        kJKFlipFlop,
        kLatch,
        kFirstReservedStage
    };

    CpmEVTG(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmEVTG() override;

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    static int ItemIndex(int channel, int item) { return channel * kItemsPerChannel + item; }
    CpmEVTG_EVENT_Dlg& ChannelDialog(int channel) const {
        return *m_channels[static_cast<std::size_t>(channel)];
    }
    // The channel's output stage code (0..7).
    int OutputStage(int channel) const;
    // The filter latency of a block: "(count + 3) x period + 2" bus clocks as a time, "OFF" at
    // period 0, "??" without a bus clock.
    std::string LatencyText(int channel, int block) const;
    // The document's number of an input's label in a channel page (where its warning shows),
    // and of the output stage's note.
    static int InputLabelId(int channel, int input);
    static int StageNoteId(int channel);

protected:
    void AttachControls(CPage& page) override;

private:
    void ReadParameters();

    std::array<std::unique_ptr<CpmEVTG_EVENT_Dlg>, kChannelCount> m_channels;
    bool m_parametersRead = false;
};
