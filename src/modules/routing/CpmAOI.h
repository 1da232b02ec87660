#pragma once
// The and-or-invert logic: up to four events, each the OR of four product terms, each term the
// AND of inputs A to D taken as fixed 0, true, inverted or fixed 1. The inputs are crossbar
// outputs: the page chooses which crossbar input drives each (in the crossbar's own register)
// and warns about an input whose crossbar source is not set up. Which events exist and how
// their signals are named comes from the architecture file.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "modules/framework/CModule.h"
#include "modules/routing/AoiLogic.h"

class CpmAOI;
class CModuleSubDlg;

// One configured event: its record from the architecture file and the bindings of its page.
class CpmAOI_Dlg {
public:
    static constexpr int kGroupId = 1000;
    static constexpr int kOutputId = 1300;

    CpmAOI_Dlg(CpmAOI& module, int event);
    CpmAOI_Dlg(const CpmAOI_Dlg&) = delete;
    CpmAOI_Dlg& operator=(const CpmAOI_Dlg&) = delete;

    int Event() const { return m_event; }
    const std::string& OutputName() const { return m_output; }
    CLogicInputs& Inputs() { return m_inputs; }
    const CLogicInputs& Inputs() const { return m_inputs; }
    CAoiTermFields& Terms() { return m_terms; }
    hwc::CTextSummary& Summary() { return m_summary; }

    // The names and output of the event's parameter line.
    void SetLine(const hwc::tLogicLine& line);
    // The page of every event (the group caption names the event when attached).
    static const CDialogTemplate& Template();

    void Bind();
    void Attach(CModuleSubDlg& page);
    void Refresh();
    // The input warnings (FamE and FamF only).
    void CheckInputs();
    // The event's two registers.
    std::array<std::uint32_t, 2> Registers() const;
    // What the output label shows: the crossbar input's name, or the output name itself.
    std::string OutputText() const;

private:
    CpmAOI& m_module;
    int m_event;
    std::string m_output;
    CLogicInputs m_inputs;
    CAoiTermFields m_terms;
    hwc::CTextSummary m_summary;
};

class CpmAOI : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmAOI, CModule)
public:
    static constexpr unsigned kTemplateId = 2089;
    static constexpr int kEventCount = 4;

    // Page controls.
    static constexpr int kFirstEventPageId = 0xE900; // + event
    static constexpr int kNoEventsId = 1001;

    CpmAOI(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmAOI() override;

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    // The page of a configured event, or null.
    CpmAOI_Dlg* EventDialog(int event) const;
    // The document's number of an input's label in an event page (where its warning shows).
    static int InputLabelId(int event, int input);

protected:
    void AttachControls(CPage& page) override;

private:
    void ReadParameters();

    std::array<std::unique_ptr<CpmAOI_Dlg>, kEventCount> m_events;
    bool m_parametersRead = false;
};
