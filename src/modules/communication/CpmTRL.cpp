#include "modules/communication/CpmTRL.h"

#include "model/DialogTemplate.h"

namespace {

using namespace hwc::RegFlag;

constexpr std::uint32_t kSwitch = NOVALUE | USERDEFINE;
constexpr std::uint32_t kNumber = DW16 | DECVALUE | USERDEFINE;

// The switches are absent unless set: a header without the define reads back as clear.
const tPerCfgDef kRegisters[] = {
    {"INCLUDE_CMD_SCOPE", 0, kSwitch},   {"INCLUDE_CMD_RECORDER", 0, kSwitch},
    {"INCLUDE_CMD_APPCMD", 0, kSwitch},  {"SCOPE_MAX_VARS", 8, kNumber},
    {"REC_MAX_VARS", 8, kNumber},        {"REC_BUFFER_SIZE", 256, kNumber},
    {"APPCMD_BUFFER_SIZE", 32, kNumber}, {"COMM_BUFFER_SIZE", 32, kNumber},
    {"COMM_MODULE_SCI0", 0, kSwitch},    {"COMM_MODULE_SCI1", 0, kSwitch},
    {"COMM_MODULE_JTAG", 0, kSwitch},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

constexpr std::uint32_t kMaxVars = 8;
constexpr const char* kCommCaption = "Communication module:";
constexpr std::uint32_t kMaxBuffer = 65535;

} // namespace

CpmTRL::CpmTRL(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_scope, 0},
                     {&m_scopeVars, 0},
                     {&m_recorder, 0},
                     {&m_recorderVars, 0},
                     {&m_recorderBuffer, 0},
                     {&m_appCmd, 0},
                     {&m_appCmdBuffer, 0},
                     {&m_commBuffer, 0},
                     {&m_commSci0, 0},
                     {&m_commSci1, 0},
                     {&m_commJtag, 0}});
}

const CDialogTemplate* CpmTRL::DialogTemplate() const {
    using namespace dlg;
    static const CDialogTemplate page(
        kTemplateId,
        {Group(
             "Commands",
             {Row({CheckBox(kScopeId, "Scope"), Label("Variables:"), Edit(kScopeVarsId)}),
              Row({CheckBox(kRecorderId, "Recorder"), Label("Variables:"), Edit(kRecorderVarsId)}),
              Row({Label("Recorder buffer size:"), Edit(kRecorderBufferId)}),
              Row({CheckBox(kAppCmdId, "Application commands"), Label("Buffer size:"),
                   Edit(kAppCmdBufferId)})}),
         Group("Communication",
               {Row({Label(kCommCaption, kCommLabelId), Radio(kCommSci0Id, "SCI 0", true),
                     Radio(kCommSci1Id, "SCI 1"), Radio(kCommJtagId, "JTAG")}),
                Row({Label("Communication buffer size:"), Edit(kCommBufferId)})})});
    return &page;
}

void CpmTRL::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_scope.AttachTo(page, kScopeId);
    m_recorder.AttachTo(page, kRecorderId);
    m_appCmd.AttachTo(page, kAppCmdId);
    m_scopeVars.AttachTo(page, kScopeVarsId);
    m_recorderVars.AttachTo(page, kRecorderVarsId);
    m_recorderBuffer.AttachTo(page, kRecorderBufferId);
    m_appCmdBuffer.AttachTo(page, kAppCmdBufferId);
    m_commBuffer.AttachTo(page, kCommBufferId);
    m_commSci0.AttachTo(page, kCommSci0Id);
    m_commSci1.AttachTo(page, kCommSci1Id);
    m_commJtag.AttachTo(page, kCommJtagId);
}

void CpmTRL::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    m_scope.Bind(Item(kScopeItem), 0, false, "Include");
    m_recorder.Bind(Item(kRecorderItem), 0, false, "Include");
    m_appCmd.Bind(Item(kAppCmdItem), 0, false, "Include");
    m_scopeVars.Bind(Item(kScopeVarsItem), 0, 15, 0, "Scope variables", false, 1, kMaxVars, false);
    m_recorderVars.Bind(Item(kRecorderVarsItem), 0, 15, 0, "Recorder variables", false, 1, kMaxVars,
                        false);
    m_recorderBuffer.Bind(Item(kRecorderBufferItem), 0, 15, 0, "", false, 0, kMaxBuffer, true);
    m_appCmdBuffer.Bind(Item(kAppCmdBufferItem), 0, 15, 0, "Application command buffer size", false,
                        0, kMaxBuffer, true);
    m_commBuffer.Bind(Item(kCommBufferItem), 0, 15, 0, "", false, 0, kMaxBuffer, true);
    m_commSci0.Bind(Item(kCommSci0Item), 0, false, "Communication module:");
    m_commSci1.Bind(Item(kCommSci1Item), 0, false, "Communication module:");
    m_commJtag.Bind(Item(kCommJtagItem), 0, false, "Communication module:");
}

void CpmTRL::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    // Each size belongs to its command set and means nothing without it.
    page->EnableControl(kScopeVarsId, Item(kScopeItem).dwValue != 0);
    const bool recorder = Item(kRecorderItem).dwValue != 0;
    page->EnableControls({kRecorderVarsId, kRecorderBufferId}, recorder);
    page->EnableControl(kAppCmdBufferId, Item(kAppCmdItem).dwValue != 0);
}

int CpmTRL::ChosenCommunicationModules() const {
    int chosen = 0;
    for (int item : {kCommSci0Item, kCommSci1Item, kCommJtagItem})
        chosen += Item(item).dwValue != 0 ? 1 : 0;
    return chosen;
}

void CpmTRL::CheckWarnings() {
    CModule::CheckWarnings();
    // Only a driver written to the header needs its link.
    const bool bad = IsSelected() && ChosenCommunicationModules() != 1;
    // The label keeps its caption and turns dark red while the warning stands.
    SetWarning(*this, kCommLabelId, bad, kCommCaption,
               bad ? "Select exactly one communication module" : "");
}
