#include "ui/page/FlowRowLayout.h"

#include <QWidget>

#include <algorithm>

namespace hwc::ui::page {

CFlowRowLayout::~CFlowRowLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

QLayoutItem* CFlowRowLayout::takeAt(int index) {
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.takeAt(index);
}

QSize CFlowRowLayout::minimumSize() const {
    QSize size;
    for (const QLayoutItem* item : m_items) {
        if (!item->isEmpty())
            size = size.expandedTo(item->minimumSize());
    }
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize CFlowRowLayout::sizeHint() const {
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        width += (width ? spacing() : 0) + item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

void CFlowRowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int CFlowRowLayout::Arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = std::max(spacing(), 0);
    // Items of one line share its height and are centred on it.
    QList<QLayoutItem*> line;
    int lineHeight = 0;
    int x = area.x();
    int y = area.y();
    const auto placeLine = [&] {
        int left = area.x();
        for (QLayoutItem* item : line) {
            const QSize size = item->sizeHint();
            const int width = std::min(size.width(), area.width());
            if (place)
                item->setGeometry(
                    QRect(left, y + (lineHeight - size.height()) / 2, width, size.height()));
            left += width + gap;
        }
    };
    for (QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (!line.isEmpty() && x + size.width() > area.right() + 1) {
            placeLine();
            y += lineHeight + gap;
            line.clear();
            lineHeight = 0;
            x = area.x();
        }
        line.push_back(item);
        lineHeight = std::max(lineHeight, size.height());
        x += size.width() + gap;
    }
    placeLine();
    const QMargins margins = contentsMargins();
    return y + lineHeight - rect.y() + margins.bottom();
}

} // namespace hwc::ui::page
