#include "ui/frame/PagePane.h"

#include <QAbstractScrollArea>

#include "model/ModuleBase.h"
#include "model/ModuleHost.h"
#include "modules/framework/CHtmlModule.h"
#include "plugins/PluginModule.h"
#include "project/ModuleTree.h"
#include "ui/frame/GroupPage.h"
#include "ui/page/PageWidget.h"
#include "ui/web/HtmlPage.h"

CPagePane::CPagePane(QWidget* parent) : QStackedWidget(parent) {
    setObjectName("PagePane");
    m_empty = new QWidget(this);
    m_empty->setObjectName("GenericPage");
    m_empty->setFocusPolicy(Qt::StrongFocus);
    addWidget(m_empty);
    setMinimumSize(100, 300);
}

QWidget* CPagePane::MakeView(CModuleBase& module) {
    if (auto* html = dynamic_cast<CHtmlModule*>(&module)) {
        auto* page = new CHtmlPage(*html, this);
        // A plug-in's pages script the tool, but only those from the plug-in's own folder.
        if (auto* plugin = dynamic_cast<CPluginModule*>(html); plugin && plugin->Info().owner)
            page->SetScriptObjectFolder(QString::fromStdString(plugin->Info().owner->Folder()));
        return page;
    }
    if (!module.CreatePage())
        return nullptr;
    return new CPageWidget(*module.Page(), this);
}

void CPagePane::ShowModule(CModuleBase* module, const CModuleTreeItem* treeItem) {
    if (module == m_module && treeItem == m_treeItem)
        return;
    if (m_module && m_module->Page())
        m_module->Page()->SetVisible(false);
    m_module = module;
    m_treeItem = treeItem;
    const bool isGroup = treeItem && treeItem->ChildCount() > 0;
    if (!module) {
        setCurrentWidget(isGroup ? GroupView(*treeItem) : m_empty);
        return;
    }
    LoadEarlyPages(*module);
    QWidget* view = ViewOf(module);
    if (!view) {
        view = MakeView(*module);
        if (view) {
            m_views[module] = view;
            addWidget(view);
        }
    }
    if (CPage* page = module->Page())
        page->SetVisible(true);
    module->OnInitialUpdate();
    module->UpdateControlStates();
    if (!view && isGroup)
        view = GroupView(*treeItem);
    setCurrentWidget(view ? view : m_empty);
}

void CPagePane::LoadEarlyPages(const CModuleBase& shown) {
    if (m_earlyPagesLoaded || !shown.Host())
        return;
    m_earlyPagesLoaded = true;
    const IModuleHost& host = *shown.Host();
    for (std::size_t index = 0; index < host.ModuleCount(); ++index) {
        auto* plugin = dynamic_cast<CPluginModule*>(host.ModuleAt(index));
        if (!plugin || !plugin->EarlyLoad() || plugin->ExternalApp() || ViewOf(plugin))
            continue;
        auto* page = static_cast<CHtmlPage*>(MakeView(*plugin));
        m_views[plugin] = page;
        addWidget(page);
        // The browser loads the plug-in's page at once, though the page stays hidden.
        page->EnsureView();
    }
}

QWidget* CPagePane::GroupView(const CModuleTreeItem& group) {
    CGroupPage*& view = m_groups[&group];
    if (!view) {
        view = new CGroupPage(group, this);
        connect(view, &CGroupPage::childActivated, this, &CPagePane::treeItemRequested);
        addWidget(view);
    }
    return view;
}

CGroupPage* CPagePane::ShownGroupPage() const {
    return qobject_cast<CGroupPage*>(currentWidget());
}

void CPagePane::Forget() {
    setCurrentWidget(m_empty);
    for (auto& [module, view] : m_views) {
        removeWidget(view);
        delete view;
    }
    for (auto& [item, view] : m_groups) {
        removeWidget(view);
        delete view;
    }
    m_views.clear();
    m_groups.clear();
    m_module = nullptr;
    m_treeItem = nullptr;
    m_earlyPagesLoaded = false;
}

QWidget* CPagePane::ViewOf(const CModuleBase* module) const {
    const auto found = m_views.find(module);
    return found == m_views.end() ? nullptr : found->second;
}

void CPagePane::FocusPage() {
    QWidget* view = currentWidget();
    if (!view)
        return;
    // The first control in tab order inside the page.
    QWidget* widget = view;
    while ((widget = widget->nextInFocusChain()) && widget != view) {
        if (view->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->isVisibleTo(view) && widget->isEnabled() &&
            !qobject_cast<QAbstractScrollArea*>(widget)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    view->setFocus(Qt::TabFocusReason);
}
