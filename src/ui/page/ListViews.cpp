// Combo boxes (pick-only and editable) and list boxes.
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "ui/page/ControlView.h"
#include "ui/page/PageText.h"
#include "ui/page/TabColumnsDelegate.h"

namespace hwc::ui::page {
namespace {

QStringList ToQtList(const std::vector<std::string>& items) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items)
        list.push_back(ToQt(item));
    return list;
}

class CComboView final : public CControlView {
public:
    explicit CComboView(CPageControl& control) : CControlView(control) {
        m_combo = new QComboBox;
        m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        SetWidget(m_combo);
        QObject::connect(m_combo, &QComboBox::activated, m_combo, [this](int index) {
            Page().UserSelect(Control(), index);
            Refresh();
        });
        if (control.Kind() != EControlKind::DropDown)
            return;
        m_combo->setEditable(true);
        m_combo->setInsertPolicy(QComboBox::NoInsert);
        // A typed value goes to the model as it is typed, like an edit field's.
        QObject::connect(m_combo->lineEdit(), &QLineEdit::textEdited, m_combo,
                         [this](const QString& text) { Page().UserEdit(Control(), FromQt(text)); });
    }

protected:
    void RefreshContent() override {
        const QStringList items = ToQtList(Control().Items());
        if (items != m_items) {
            const QSignalBlocker editBlocker(m_combo->lineEdit());
            m_combo->clear();
            m_combo->addItems(items);
            m_items = items;
        }
        m_combo->setCurrentIndex(Control().Selection());
        QLineEdit* edit = m_combo->lineEdit();
        if (!edit)
            return;
        const QSignalBlocker editBlocker(edit);
        const QString text = ToQt(Control().Text());
        if (edit->text() == text)
            return; // keeps the cursor of the user typing
        const int cursor = edit->cursorPosition();
        edit->setText(text);
        if (edit->hasFocus())
            edit->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
    }

private:
    QComboBox* m_combo;
    QStringList m_items;
};

class CListBoxView final : public CControlView {
public:
    explicit CListBoxView(CPageControl& control) : CControlView(control) {
        m_list = new QListWidget;
        // Candidate tables come as rows of tab-separated cells.
        m_columns = new CTabColumnsDelegate(m_list);
        m_list->setItemDelegate(m_columns);
        SetWidget(m_list);
        // Only a changed selection counts: taking the focus makes a row current without
        // selecting it, and must not choose a row (on a timing page that would rewrite fields).
        QObject::connect(m_list, &QListWidget::itemSelectionChanged, m_list, [this] {
            const QModelIndexList rows = m_list->selectionModel()->selectedRows();
            const int row = rows.isEmpty() ? -1 : rows.front().row();
            if (row == Control().Selection())
                return;
            Page().UserSelect(Control(), row);
            Refresh();
        });
    }

protected:
    void RefreshContent() override {
        const QSignalBlocker quiet(m_list); // showing the page's state is no user choice
        const QStringList items = ToQtList(Control().Items());
        if (items != m_items) {
            m_list->clear();
            m_columns->SetRows(items);
            m_list->addItems(items);
            m_items = items;
        }
        const int selection = Control().Selection();
        if (selection < 0)
            m_list->clearSelection();
        m_list->setCurrentRow(selection);
        m_list->viewport()->update();
    }

private:
    QListWidget* m_list;
    CTabColumnsDelegate* m_columns;
    QStringList m_items;
};

} // namespace

std::unique_ptr<CControlView> MakeListView(CPageControl& control) {
    if (control.Kind() == EControlKind::ListBox)
        return std::make_unique<CListBoxView>(control);
    return std::make_unique<CComboView>(control);
}

} // namespace hwc::ui::page
