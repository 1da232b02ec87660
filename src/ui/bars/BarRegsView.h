#pragma once
// The registers bar: the registers of the module shown in the page pane, one row per register
// with its value as editable text; values changed since the last load or save are dark red.

#include <QWidget>

#include "project/DocumentObserver.h"
#include "project/ObservedDocument.h"

class CModuleBase;
class CProjDoc;
class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace hwc::ui {
class CRegisterRowWidget;
}

class CBarRegsView : public QWidget, public hwc::IDocumentObserver {
    Q_OBJECT
public:
    explicit CBarRegsView(QWidget* parent = nullptr);
    // Defined where the document class is complete.
    ~CBarRegsView() override;
    void SetDocument(CProjDoc* document);

    void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) override;

    // The module whose registers are listed (null when none).
    CModuleBase* CurrentModule() const { return m_module; }
    // Whether hexadecimal registers are shown in decimal.
    bool ShowsDecimal() const { return m_decimal; }
    void SetShowDecimal(bool decimal);
    // The "Toggle Hex/Dec format" command.
    void ToggleHexDec() { SetShowDecimal(!m_decimal); }

    // The rows in display order, and the text shown when there are none.
    const QList<hwc::ui::CRegisterRowWidget*>& Rows() const { return m_rows; }
    bool ShowsNoRegistersText() const;
    // The bit fields of the register whose value field has the focus, with their settings.
    QLabel* FieldsLabel() const { return m_fields; }

private:
    void RebuildRows();
    void RefreshValues();
    void TakeSnapshots();
    void ClearRows();
    // A row stored its value: the page of the module shown is refreshed from the registers.
    void OnRowStored(hwc::ui::CRegisterRowWidget& row);
    void FocusRow(int index);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

    hwc::CObservedDocument<CProjDoc> m_document{*this};
    CModuleBase* m_module = nullptr;
    bool m_decimal = false;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    QVBoxLayout* m_rowsLayout = nullptr;
    QLabel* m_empty = nullptr;
    QLabel* m_fields = nullptr;
    QList<hwc::ui::CRegisterRowWidget*> m_rows;
    QList<QWidget*> m_extras; // separators and the user-defines label of the current rows
};
