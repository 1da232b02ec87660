#pragma once
// The numbers of the main window's commands and of the update hints the module tree sends.

namespace hwc::ui {

enum ECommand : int {
    kCmdOptions = 32769,
    kCmdModuleHelp = 32771,
    kCmdSaveAndExit = 32793,
    kCmdExpandTree = 32794,
    kCmdCollapseTree = 32795,
    kCmdToggleHexDec = 32799,
    kCmdToggleWarningsBar = 32800,
    kCmdFocusWarnings = 32801,
    kCmdFocusTree = 32802,
    kCmdToggleRegistersBar = 32803,
    kCmdToolHelp = 32805,
    kCmdImportSettings = 32806,
    kCmdHistoryBack = 32807,
    kCmdHistoryForward = 32808,
    kCmdResetModule = 32810,
    kCmdOpen = 57601,
    kCmdSave = 57603,
    kCmdSaveAs = 57604,
    kCmdSaveCopyAs = 57611,
    kCmdUndo = 57643,
    kCmdRedo = 57644,
    kCmdCut = 57635,
    kCmdCopy = 57634,
    kCmdPaste = 57637,
    kCmdAbout = 57664,
    kCmdAskAndExit = 57665,
    kCmdToolBar = 59392,
    kCmdStatusBar = 59393,
    kCmdFindSetting = 32811,
};

} // namespace hwc::ui

namespace hwc {

// Update hints of the module tree: the page being left (subject: its module), the module now
// selected, and a module checked or unchecked for writing.
inline constexpr int kHintPageLeft = 2;
inline constexpr int kHintModuleSelected = 3;
inline constexpr int kHintModuleChecked = 5;

} // namespace hwc
