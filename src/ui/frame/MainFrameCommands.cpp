// The main window's menus, tool bar and command handling.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "base/AppFilePath.h"
#include "base/Messages.h"
#include "bindings/SetValue.h"
#include "model/ModuleBase.h"
#include "plugins/PluginModule.h"
#include "project/ModuleReset.h"
#include "ui/bars/BarRegsView.h"
#include "ui/bars/BarWarnView.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/FindSettingDlg.h"
#include "ui/dialogs/ImportDlg.h"
#include "ui/dialogs/OptionsDialog.h"
#include "ui/docs/DocLauncher.h"
#include "ui/frame/FrameCommands.h"
#include "ui/frame/LeftTreeView.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/PagePane.h"

using namespace hwc::ui;

namespace {

enum class EMenu { None, File, Edit, Module, View, Help };

struct tCommandDef {
    int id; // 0: a separator
    EMenu menu;
    const char* text;
    const char* shortcuts; // separated by ';'
    const char* tip;       // status text, then '\n' and the tool tip
};

// Menu order is table order.
constexpr tCommandDef kCommands[] = {
    {kCmdOpen, EMenu::File, "&Open...", "Ctrl+O", "Open an existing project\nOpen"},
    {kCmdSave, EMenu::File, "&Save", "Ctrl+S", "Save the project\nSave"},
    {kCmdSaveAs, EMenu::File, "Save &As", "", "Save the project with a new name\nSave As"},
    {kCmdSaveCopyAs, EMenu::File, "Save &Copy As", "",
     "Save a copy of the project; the project stays where it is\nSave Copy As"},
    {0, EMenu::File, nullptr, nullptr, nullptr},
    {kCmdOptions, EMenu::File, "HWC &Options...", "", "Change the output options\nOptions"},
    {0, EMenu::File, nullptr, nullptr, nullptr},
    {kCmdSaveAndExit, EMenu::File, "Save && E&xit", "Ctrl+Shift+S",
     "Save project and exit\nSave and exit"},
    {kCmdAskAndExit, EMenu::File, "Ask && &Exit", "Alt+F4",
     "Quit the application; prompts to save the project\nExit"},

    {kCmdUndo, EMenu::Edit, "&Undo", "Ctrl+Z", "Undo the last action\nUndo"},
    {kCmdRedo, EMenu::Edit, "&Redo", "Ctrl+Shift+Z;Ctrl+Y", "Redo the action undone last\nRedo"},
    {0, EMenu::Edit, nullptr, nullptr, nullptr},
    {kCmdCut, EMenu::Edit, "Cu&t", "Ctrl+X;Shift+Del",
     "Cut the selection and put it on the Clipboard\nCut"},
    {kCmdCopy, EMenu::Edit, "&Copy", "Ctrl+C;Ctrl+Ins",
     "Copy the selection and put it on the Clipboard\nCopy"},
    {kCmdPaste, EMenu::Edit, "&Paste", "Ctrl+V;Shift+Ins", "Insert Clipboard contents\nPaste"},
    {0, EMenu::Edit, nullptr, nullptr, nullptr},
    {kCmdToggleHexDec, EMenu::Edit, "Toggle &Hex/Dec", "", "Toggle Hex/Dec format\nToggle Hex/Dec"},
    {kCmdResetModule, EMenu::Edit, "Reset Module to Default", "",
     "Reset the module to its default values\nReset module"},
    {0, EMenu::Edit, nullptr, nullptr, nullptr},
    {kCmdFindSetting, EMenu::Edit, "&Find Setting...", "Ctrl+F",
     "Find a setting by its name, a list entry or a register\nFind setting"},

    {kCmdImportSettings, EMenu::Module, "Import Module Settings...", "",
     "Import module settings from another module or project\nImport"},

    {kCmdToolBar, EMenu::View, "&Tool Bar", "", "Show or hide the toolbar\nToggle ToolBar"},
    {kCmdStatusBar, EMenu::View, "&Status Bar", "",
     "Show or hide the status bar\nToggle StatusBar"},
    {0, EMenu::View, nullptr, nullptr, nullptr},
    {kCmdToggleRegistersBar, EMenu::View, "&Registers Summary", "Ctrl+R",
     "Show or hide the Registers bar\nRegisters bar"},
    {kCmdToggleWarningsBar, EMenu::View, "Warnings Summary", "Ctrl+W",
     "Show or hide the Warnings bar\nWarnings bar"},
    {kCmdFocusWarnings, EMenu::View, "Focus Warnings List", "Ctrl+Shift+W",
     "Show the Warnings bar and go to its list\nWarnings list"},
    {kCmdFocusTree, EMenu::View, "Focus Module Tree", "Ctrl+Shift+Q",
     "Go to the module tree\nModule tree"},

    {kCmdToolHelp, EMenu::Help, "Configuration Tool  Help", "",
     "Open the manual of the configuration tool\nHelp"},
    {kCmdModuleHelp, EMenu::Help, "K7Q400R/EX User Manual Lookup", "F1;Shift+F1",
     "Open the user manual at the selected module\nManual lookup"},
    {0, EMenu::Help, nullptr, nullptr, nullptr},
    {kCmdAbout, EMenu::Help, "&About...", "",
     "Display program information, version number and copyright\nAbout"},

    {kCmdHistoryBack, EMenu::None, "Back", "", "Go back in page history\nBack"},
    {kCmdHistoryForward, EMenu::None, "Forward", "", "Go forward in page history\nForward"},
    {kCmdExpandTree, EMenu::None, "Expand tree", "", "\nExpand tree"},
    {kCmdCollapseTree, EMenu::None, "Collapse tree", "", "\nCollapse tree"},
};

struct tMenuDef {
    EMenu menu;
    const char* title;
};

constexpr tMenuDef kMenus[] = {
    {EMenu::File, "&File"}, {EMenu::Edit, "&Edit"}, {EMenu::Module, "&Module"},
    {EMenu::View, "&View"}, {EMenu::Help, "&Help"}};

// The tool bar, left to right; 0 is a separator.
constexpr int kToolBarCommands[] = {
    kCmdOpen,        kCmdSave,           0, kCmdUndo,       kCmdRedo,         0,
    kCmdHistoryBack, kCmdHistoryForward, 0, kCmdExpandTree, kCmdCollapseTree, 0,
    kCmdToggleHexDec, 0, kCmdToolHelp};

// A tool-bar picture made of a short text, for commands the style has no picture for.
QIcon TextIcon(const QString& text) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(QColor(30, 60, 120));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

QIcon CommandIcon(const QStyle& style, int id) {
    switch (id) {
    case kCmdToggleHexDec:
        return TextIcon(QStringLiteral("0x"));
    case kCmdOpen:
        return style.standardIcon(QStyle::SP_DialogOpenButton);
    case kCmdSave:
        return style.standardIcon(QStyle::SP_DialogSaveButton);
    case kCmdHistoryBack:
        return style.standardIcon(QStyle::SP_ArrowBack);
    case kCmdHistoryForward:
        return style.standardIcon(QStyle::SP_ArrowForward);
    case kCmdExpandTree:
        return style.standardIcon(QStyle::SP_ToolBarVerticalExtensionButton);
    case kCmdCollapseTree:
        return style.standardIcon(QStyle::SP_ArrowUp);
    case kCmdUndo:
        return TextIcon(QString::fromUtf8("\u21B6"));
    case kCmdRedo:
        return TextIcon(QString::fromUtf8("\u21B7"));
    case kCmdToolHelp:
        // The style's help picture needs an icon theme, which many desktops lack.
        return TextIcon(QStringLiteral("?"));
    default:
        return {};
    }
}

QString ToolManualPath() {
    return QString::fromStdString(AppFilePath(kToolManualName, kHelpFolderName));
}

} // namespace

void CMainFrame::CreateCommands() {
    QMenu* menus[6] = {};
    for (const tMenuDef& menu : kMenus)
        menus[static_cast<int>(menu.menu)] = menuBar()->addMenu(QString::fromUtf8(menu.title));

    for (const tCommandDef& def : kCommands) {
        QMenu* menu = menus[static_cast<int>(def.menu)];
        if (def.id == 0) {
            menu->addSeparator();
            continue;
        }
        auto* action = new QAction(QString::fromUtf8(def.text), this);
        action->setData(def.id);
        QList<QKeySequence> keys;
        for (const QString& key : QString::fromUtf8(def.shortcuts).split(';', Qt::SkipEmptyParts))
            keys.append(QKeySequence(key));
        action->setShortcuts(keys);
        const QStringList tips = QString::fromUtf8(def.tip).split('\n');
        action->setStatusTip(tips.value(0));
        if (tips.size() > 1 && !tips[1].isEmpty())
            action->setToolTip(tips[1]);
        action->setIcon(CommandIcon(*style(), def.id));
        action->setIconVisibleInMenu(false);
        connect(action, &QAction::triggered, this, [this, id = def.id] { OnCommand(id); });
        if (menu)
            menu->addAction(action);
        else
            addAction(action);
        m_actions[def.id] = action;
    }
    for (int id : {kCmdToolBar, kCmdStatusBar, kCmdToggleRegistersBar, kCmdToggleWarningsBar})
        m_actions[id]->setCheckable(true);
    connect(menus[static_cast<int>(EMenu::Help)], &QMenu::aboutToShow, this,
            [this] { UpdateCommandStates(); });

    m_toolBar = addToolBar(QStringLiteral("Tool Bar"));
    m_toolBar->setObjectName("ToolBar");
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : kToolBarCommands) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_actions[id]);
    }
    connect(m_toolBar, &QToolBar::visibilityChanged, this, [this] { UpdateCommandStates(); });
}

QAction* CMainFrame::Action(int commandId) const {
    const auto found = m_actions.find(commandId);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::UpdateCommandStates() {
    if (m_actions.empty())
        return;
    const bool loaded = m_document.IsLoaded();
    auto set = [this](int id, bool enabled) { m_actions[id]->setEnabled(enabled); };
    auto check = [this](int id, bool checked) { m_actions[id]->setChecked(checked); };
    set(kCmdHistoryBack, m_history.CanGoBack());
    set(kCmdHistoryForward, m_history.CanGoForward());
    for (int id : {kCmdSave, kCmdSaveAs, kCmdSaveCopyAs, kCmdSaveAndExit, kCmdOptions,
                   kCmdExpandTree, kCmdCollapseTree, kCmdImportSettings})
        set(id, loaded);
    CModuleBase* shown = m_pane ? m_pane->CurrentModule() : nullptr;
    set(kCmdResetModule, loaded && shown && CanResetModule(*shown));
    UpdateUndoCommands();
    set(kCmdToolHelp, QFileInfo::exists(ToolManualPath()));
    set(kCmdModuleHelp, m_pane && m_pane->CurrentModule() != nullptr);
    set(kCmdFindSetting, loaded);
    if (m_toolBar)
        check(kCmdToolBar, !m_toolBar->isHidden());
    check(kCmdStatusBar, !statusBar()->isHidden());
    if (m_regsBar)
        check(kCmdToggleRegistersBar, !m_regsBar->isHidden());
    if (m_warnBar)
        check(kCmdToggleWarningsBar, !m_warnBar->isHidden());
}

void CMainFrame::OnCommand(int commandId) {
    switch (commandId) {
    case kCmdOpen:
        OpenCommand();
        break;
    case kCmdSave:
        SaveProject();
        break;
    case kCmdSaveAs:
        SaveAsCommand(false);
        break;
    case kCmdSaveCopyAs:
        SaveAsCommand(true);
        break;
    case kCmdSaveAndExit:
        SaveAndExit();
        break;
    case kCmdAskAndExit:
        close();
        break;
    case kCmdImportSettings: {
        // One window per document, kept (hidden) between uses.
        auto* dialog = findChild<CImportDlg*>();
        if (!dialog)
            dialog = new CImportDlg(m_document, this);
        dialog->Open(m_pane ? m_pane->CurrentModule() : nullptr);
        break;
    }
    case kCmdOptions: {
        COptionsDialog dialog(&m_document, this);
        if (dialog.exec() == QDialog::Accepted) {
            m_document.NoteUserAction("Options");
            m_document.CommitUndoStep();
            UpdateCommandStates();
        }
        break;
    }
    case kCmdUndo:
        UndoRedo(false);
        break;
    case kCmdRedo:
        UndoRedo(true);
        break;
    case kCmdCut:
        EditCommand("cut");
        break;
    case kCmdCopy:
        EditCommand("copy");
        break;
    case kCmdPaste:
        EditCommand("paste");
        break;
    case kCmdToggleHexDec:
        ToggleHexDec();
        break;
    case kCmdResetModule:
        if (CModuleBase* module = m_pane->CurrentModule())
            ResetModule(*module);
        break;
    case kCmdToolBar:
        m_toolBar->setVisible(m_toolBar->isHidden());
        break;
    case kCmdStatusBar:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case kCmdToggleRegistersBar:
        m_regsBar->setVisible(m_regsBar->isHidden());
        break;
    case kCmdToggleWarningsBar:
        m_warnBar->setVisible(m_warnBar->isHidden());
        break;
    case kCmdFocusWarnings:
        m_warnBar->show();
        m_warnBar->raise();
        m_warnView->FocusList();
        break;
    case kCmdFocusTree:
        m_tree->setFocus(Qt::ShortcutFocusReason);
        break;
    case kCmdHistoryBack:
        GoBack();
        break;
    case kCmdHistoryForward:
        GoForward();
        break;
    case kCmdExpandTree:
    case kCmdCollapseTree:
        m_document.Tree().ExpandAll(commandId == kCmdExpandTree);
        break;
    case kCmdToolHelp:
    case kCmdModuleHelp:
        ShowHelp(commandId);
        break;
    case kCmdAbout:
        ShowAboutDialog(this);
        break;
    case kCmdFindSetting: {
        // One window per main window, kept (hidden) between uses.
        auto* find = findChild<CFindSettingDlg*>();
        if (!find)
            find = new CFindSettingDlg(m_document, this);
        find->Open();
        break;
    }
    default:
        break;
    }
    UpdateCommandStates();
}

void CMainFrame::UpdateUndoCommands() {
    // The menu names the step: "Undo PIT0: Clock Prescaler".
    const auto name = [](const std::string& step) {
        return QString::fromStdString(step).replace('&', QStringLiteral("&&"));
    };
    QAction* undo = m_actions[kCmdUndo];
    QAction* redo = m_actions[kCmdRedo];
    const bool canUndo = m_document.CanUndo();
    const bool canRedo = m_document.CanRedo();
    undo->setText(canUndo ? "&Undo " + name(m_document.UndoName()) : QStringLiteral("&Undo"));
    redo->setText(canRedo ? "&Redo " + name(m_document.RedoName()) : QStringLiteral("&Redo"));
    undo->setToolTip(canUndo ? "Undo " + QString::fromStdString(m_document.UndoName())
                             : QStringLiteral("Undo"));
    redo->setToolTip(canRedo ? "Redo " + QString::fromStdString(m_document.RedoName())
                             : QStringLiteral("Redo"));
    // A text field's own Ctrl+Z reaches the field whatever the state of the command.
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
}

QLineEdit* CMainFrame::FocusedTextEdit() {
    QWidget* focused = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focused); combo && combo->lineEdit())
        focused = combo->lineEdit();
    auto* edit = qobject_cast<QLineEdit*>(focused);
    return edit && !edit->isReadOnly() ? edit : nullptr;
}

void CMainFrame::UndoRedo(bool redo) {
    // The text being typed into a field is taken back by the field itself first.
    if (QLineEdit* edit = FocusedTextEdit()) {
        if (redo ? edit->isRedoAvailable() : edit->isUndoAvailable()) {
            redo ? edit->redo() : edit->undo();
            return;
        }
    }
    const std::string step = redo ? m_document.RedoName() : m_document.UndoName();
    if (redo ? m_document.Redo() : m_document.Undo())
        statusBar()->showMessage((redo ? "Redone: " : "Undone: ") + QString::fromStdString(step),
                                 5000);
    UpdateCommandStates();
}

void CMainFrame::EditCommand(const char* slot) {
    QWidget* focused = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focused); combo && combo->lineEdit())
        focused = combo->lineEdit();
    const QByteArray signature = QByteArray(slot) + "()";
    if (focused && focused->metaObject()->indexOfSlot(signature.constData()) >= 0)
        QMetaObject::invokeMethod(focused, slot);
}

void CMainFrame::ShowHelp(int commandId) {
    if (commandId == kCmdToolHelp) {
        OpenManual(this, ToolManualPath(), 0, QString(), false);
        return;
    }
    CModuleBase* module = m_pane->CurrentModule();
    if (!module)
        return;
    const QString reference = QString::fromStdString(module->Descriptor().HelpReference());
    // A plug-in's help document lies in its own folder, with the page its description names.
    if (module->IsKindOf(CPluginModule::kRuntimeClass)) {
        int page = 0;
        const std::string path = static_cast<CPluginModule*>(module)->Info().HelpDocument(&page);
        OpenPluginHelp(this, QString::fromStdString(path), page, reference);
        return;
    }
    OpenModuleDocumentation(this, reference);
}

void CMainFrame::ToggleHexDec() {
    CModuleBase* module = m_pane->CurrentModule();
    if (module && module->Page() && hwc::ToggleFocusedValueBase(*module->Page()))
        return;
    m_regsView->ToggleHexDec();
    m_regsBar->show();
    statusBar()->showMessage(m_regsView->ShowsDecimal()
                                 ? QStringLiteral("Registers bar: values in decimal")
                                 : QStringLiteral("Registers bar: values in hexadecimal"));
}

bool CMainFrame::ResetModule(CModuleBase& module) {
    if (!m_document.IsLoaded() || !CanResetModule(module))
        return false;
    if (hwc::ShowMessage(ResetModuleQuestion(module), hwc::EButtons::YesNo, hwc::EAnswer::No) !=
        hwc::EAnswer::Yes)
        return false;
    const int changed = ResetModuleToDefaults(m_document, module);
    statusBar()->showMessage(changed == 0 ? QStringLiteral("%1 already has its default values")
                                                .arg(QString::fromStdString(module.Title()))
                                          : QStringLiteral("Reset %1 to its default values")
                                                .arg(QString::fromStdString(module.Title())));
    UpdateTitleAndStatus();
    return changed > 0;
}

QMenu* CMainFrame::CreateTreeMenu(CModuleBase& module) {
    auto* menu = new QMenu(this);
    const CModuleTreeItem* item = m_document.Tree().FindItem(&module);
    const int state = item ? item->StateImage() : hwc::kStateGroup;
    const bool checkable = state == hwc::kStateUnchecked || state == hwc::kStateChecked;
    // Each entry shows the module first, so it acts on what the user sees.
    auto showThen = [this, &module](auto then) {
        return [this, &module, then] {
            if (ShowModulePage(module))
                then();
        };
    };

    QAction* include =
        menu->addAction(state == hwc::kStateChecked ? QStringLiteral("Exclude from the Header")
                                                    : QStringLiteral("Include in the Header"));
    include->setEnabled(checkable);
    connect(include, &QAction::triggered, this,
            [this, &module, state] { OnCheckToggled(&module, state != hwc::kStateChecked); });

    QAction* registers = menu->addAction(QStringLiteral("Show Registers"));
    connect(registers, &QAction::triggered, this, showThen([this] {
                m_regsBar->show();
                m_regsBar->raise();
            }));

    QAction* reset = menu->addAction(QStringLiteral("Reset Module to Default..."));
    reset->setEnabled(m_document.IsLoaded() && CanResetModule(module));
    connect(reset, &QAction::triggered, this, showThen([this, &module] { ResetModule(module); }));

    menu->addSeparator();
    QAction* manual = menu->addAction(QStringLiteral("Open Manual Chapter"));
    manual->setEnabled(!module.Descriptor().HelpReference().empty());
    connect(manual, &QAction::triggered, this, showThen([this] { ShowHelp(kCmdModuleHelp); }));
    return menu;
}

void CMainFrame::OnTreeContextMenu(const QPoint& position) {
    const CModuleTreeItem* item = m_tree->TreeItem(m_tree->itemAt(position));
    if (!item || !item->Module())
        return;
    QMenu* menu = CreateTreeMenu(*item->Module());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_tree->viewport()->mapToGlobal(position));
}
