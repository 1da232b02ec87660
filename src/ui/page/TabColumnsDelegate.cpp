#include "ui/page/TabColumnsDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace hwc::ui::page {
namespace {

bool IsNumber(const QString& cell) {
    bool ok = false;
    cell.trimmed().toDouble(&ok);
    return ok;
}

} // namespace

void CTabColumnsDelegate::SetRows(const QStringList& rows) {
    m_rows = rows;
    m_measured = false;
}

const std::vector<int>& CTabColumnsDelegate::ColumnWidths(const QFont& font) const {
    if (m_measured && font == m_widthsFont)
        return m_widths;
    const QFontMetrics metrics(font);
    const int gap = 2 * metrics.averageCharWidth();
    m_widths.clear();
    for (const QString& row : m_rows) {
        if (!row.contains(QLatin1Char('\t')))
            continue;
        const QStringList cells = row.split(QLatin1Char('\t'));
        if (m_widths.size() < static_cast<std::size_t>(cells.size()))
            m_widths.resize(static_cast<std::size_t>(cells.size()), 0);
        for (qsizetype i = 0; i < cells.size(); ++i) {
            int& width = m_widths[static_cast<std::size_t>(i)];
            width = std::max(width, metrics.horizontalAdvance(cells[i]) + gap);
        }
    }
    m_widthsFont = font;
    m_measured = true;
    return m_widths;
}

void CTabColumnsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.contains(QLatin1Char('\t'))) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The style draws the row's background, selection and focus without text; the cells follow.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    QStyleOptionViewItem textOption = option;
    initStyleOption(&textOption, index);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &textOption, widget);
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                               : QPalette::Inactive;
    const QPalette::ColorRole role =
        (option.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    const std::vector<int>& widths = ColumnWidths(textOption.font);
    const int gap = 2 * QFontMetrics(textOption.font).averageCharWidth();

    painter->save();
    painter->setFont(textOption.font);
    painter->setPen(option.palette.color(group, role));
    painter->setClipRect(area);
    const QStringList cells = text.split(QLatin1Char('\t'));
    int x = area.left();
    for (qsizetype i = 0; i < cells.size(); ++i) {
        // A row measured before the list told its rows still gets a column of its own width.
        const int width = static_cast<std::size_t>(i) < widths.size()
                              ? widths[static_cast<std::size_t>(i)]
                              : painter->fontMetrics().horizontalAdvance(cells[i]) + gap;
        // A column's gap lies after its text, so right-aligned numbers keep it on their right.
        const QRect cell(x, area.top(), width - gap, area.height());
        const Qt::Alignment horizontal = IsNumber(cells[i]) ? Qt::AlignRight : Qt::AlignLeft;
        painter->drawText(cell, horizontal | Qt::AlignVCenter | Qt::TextSingleLine, cells[i]);
        x += width;
    }
    painter->restore();
}

QSize CTabColumnsDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.contains(QLatin1Char('\t')))
        return QStyledItemDelegate::sizeHint(option, index);
    // The style sizes the row without its tabs, which gives the margins and the height; the
    // columns give the width of the text.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text = text;
    item.text.remove(QLatin1Char('\t'));
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const QSize plain = style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), widget);
    const int textWidth = QFontMetrics(item.font).horizontalAdvance(item.text);
    int columns = 0;
    for (int width : ColumnWidths(item.font))
        columns += width;
    return QSize(plain.width() - textWidth + std::max(columns, textWidth), plain.height());
}

} // namespace hwc::ui::page
