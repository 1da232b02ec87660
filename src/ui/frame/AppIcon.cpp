#include "ui/frame/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "project/ModuleTree.h"

namespace hwc::ui {

namespace {

// A chip: a dark square body with pins on all four sides and a hexagon mark.
QPixmap DrawChip(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xb0, 0xb8, 0xc0));
    for (int i = 0; i < 4; ++i) {
        const int offset = 17 + i * 9;
        painter.drawRect(offset, 4, 4, 8);
        painter.drawRect(offset, 52, 4, 8);
        painter.drawRect(4, offset, 8, 4);
        painter.drawRect(52, offset, 8, 4);
    }
    painter.setBrush(QColor(0x1f, 0x3a, 0x5f));
    painter.drawRoundedRect(12, 12, 40, 40, 4, 4);
    QPainterPath hexagon;
    hexagon.moveTo(32, 20);
    hexagon.lineTo(42, 26);
    hexagon.lineTo(42, 38);
    hexagon.lineTo(32, 44);
    hexagon.lineTo(22, 38);
    hexagon.lineTo(22, 26);
    hexagon.closeSubpath();
    painter.setBrush(QColor(0xf2, 0xa9, 0x00));
    painter.drawPath(hexagon);
    return pixmap;
}

QPixmap DrawFolder(bool inUse, bool leaf) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x80, 0x60, 0x10));
    painter.setBrush(leaf ? QColor(0xe8, 0xe8, 0xe8) : QColor(0xf0, 0xc8, 0x50));
    if (leaf) {
        painter.drawRect(3, 1, 10, 14);
    } else {
        painter.drawRect(1, 4, 14, 10);
        painter.drawRect(1, 2, 6, 2);
    }
    if (inUse) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x20, 0x90, 0x30));
        painter.drawEllipse(8, 8, 7, 7);
    }
    return pixmap;
}

} // namespace

QIcon AppIcon() {
    static const QIcon icon = [] {
        QIcon made;
        for (int size : {16, 32, 64, 128})
            made.addPixmap(DrawChip(size));
        return made;
    }();
    return icon;
}

QIcon GroupIcon(int stateImage) {
    static const QIcon group(DrawFolder(false, false));
    static const QIcon groupInUse(DrawFolder(true, false));
    static const QIcon leaf(DrawFolder(false, true));
    if (stateImage == hwc::kStateGroupInUse)
        return groupInUse;
    if (stateImage == hwc::kStateGroupLeaf)
        return leaf;
    return group;
}

} // namespace hwc::ui
