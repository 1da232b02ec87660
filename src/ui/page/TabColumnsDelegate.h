#pragma once
// List rows whose text holds tabs drawn as aligned columns: each column as wide as its widest
// cell in the whole list, numbers right-aligned, other cells left-aligned. Rows without a tab
// are drawn as any list draws them.

#include <QFont>
#include <QStringList>
#include <QStyledItemDelegate>

#include <vector>

namespace hwc::ui::page {

class CTabColumnsDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The rows the widths are measured on; call whenever the list's items change.
    void SetRows(const QStringList& rows);
    // The width of each column (widest cell plus the gap to the next) in the given font.
    const std::vector<int>& ColumnWidths(const QFont& font) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QStringList m_rows;
    mutable std::vector<int> m_widths;
    mutable QFont m_widthsFont;
    mutable bool m_measured = false;
};

} // namespace hwc::ui::page
