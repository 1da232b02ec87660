#pragma once
// The information panel: the target processor and the two main clock frequencies of the
// project's clock module.

#include <QWidget>

#include "project/DocumentObserver.h"
#include "project/ObservedDocument.h"

class CModuleBase;
class CProjDoc;
class QLabel;

class CInfoView : public QWidget, public hwc::IDocumentObserver {
    Q_OBJECT
public:
    explicit CInfoView(QWidget* parent = nullptr);
    // Defined where the document class is complete.
    ~CInfoView() override;
    void SetDocument(CProjDoc* document);

    void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) override;

    QString TargetText() const;
    QString SysClockText() const;
    QString BusClockText() const;

private:
    void Refresh();

    hwc::CObservedDocument<CProjDoc> m_document{*this};
    QLabel* m_target = nullptr;
    QLabel* m_sysClock = nullptr;
    QLabel* m_busClock = nullptr;
};
