#pragma once
// The warnings bar: the document's warnings, one row per warning (module, text); activating a
// row shows the warning's module page at the control it is about.

#include <QWidget>

#include "project/DocumentObserver.h"
#include "project/ObservedDocument.h"

class CModuleBase;
class CProjDoc;
struct CWarning;
class QCheckBox;
class QTreeWidget;

class CBarWarnView : public QWidget, public hwc::IDocumentObserver {
    Q_OBJECT
public:
    explicit CBarWarnView(QWidget* parent = nullptr);
    // Defined where the document class is complete.
    ~CBarWarnView() override;
    void SetDocument(CProjDoc* document);
    void FocusList();

    void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) override;

    // The list widget (for the frame's focus handling and for tests).
    QTreeWidget* List() const { return m_list; }
    // The warning of a row, or null.
    const CWarning* WarningAt(int row) const;
    // Follows the selected warning when exactly one row is selected; false otherwise.
    bool ActivateSelection();
    // Rebuilds the list now when a rebuild is pending.
    void RebuildIfPending();

signals:
    // Esc in the list: the frame gives the focus back to the page pane.
    void focusReturned();

private:
    void RequestRebuild();
    void Rebuild();
    bool eventFilter(QObject* watched, QEvent* event) override;

    hwc::CObservedDocument<CProjDoc> m_document{*this};
    QTreeWidget* m_list = nullptr;
    QCheckBox* m_showAll = nullptr;
    bool m_pending = false;
};
