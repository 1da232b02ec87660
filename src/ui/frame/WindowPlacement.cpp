#include "ui/frame/WindowPlacement.h"

#include <QtEndian>

#include <algorithm>

namespace hwc::ui {

namespace {

void Put(QByteArray& bytes, int offset, std::int32_t value) {
    qToLittleEndian<std::int32_t>(value, bytes.data() + offset);
}

std::int32_t Get(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<std::int32_t>(bytes.constData() + offset);
}

} // namespace

QByteArray EncodePlacement(const tWindowPlacement& placement) {
    QByteArray bytes(kPlacementSize, '\0');
    Put(bytes, 0, static_cast<std::int32_t>(placement.length));
    Put(bytes, 4, static_cast<std::int32_t>(placement.flags));
    Put(bytes, 8, placement.showState);
    Put(bytes, 12, placement.minPosition.x());
    Put(bytes, 16, placement.minPosition.y());
    Put(bytes, 20, placement.maxPosition.x());
    Put(bytes, 24, placement.maxPosition.y());
    // The normal rectangle as left, top, right, bottom with the right and bottom edges outside.
    Put(bytes, 28, placement.normal.left());
    Put(bytes, 32, placement.normal.top());
    Put(bytes, 36, placement.normal.left() + placement.normal.width());
    Put(bytes, 40, placement.normal.top() + placement.normal.height());
    return bytes;
}

std::optional<tWindowPlacement> DecodePlacement(const QByteArray& bytes) {
    if (bytes.size() != kPlacementSize)
        return std::nullopt;
    tWindowPlacement placement;
    placement.length = static_cast<std::uint32_t>(Get(bytes, 0));
    if (placement.length == 0)
        return std::nullopt;
    placement.flags = static_cast<std::uint32_t>(Get(bytes, 4));
    placement.showState = Get(bytes, 8);
    placement.minPosition = QPoint(Get(bytes, 12), Get(bytes, 16));
    placement.maxPosition = QPoint(Get(bytes, 20), Get(bytes, 24));
    const int left = Get(bytes, 28);
    const int top = Get(bytes, 32);
    placement.normal = QRect(left, top, Get(bytes, 36) - left, Get(bytes, 40) - top);
    return placement;
}

int ResolveShowState(int storedState, int launchShowState) {
    int state = storedState;
    if (state == kShowMinimized || state == kShowMinimize)
        state = kShowNormal;
    if (launchShowState > 0 && launchShowState != kShowNormal)
        state = launchShowState;
    return state == kShowHide ? kShowNormal : state;
}

QRect ClampToArea(const QRect& rect, const QRect& area) {
    if (!area.isValid())
        return rect;
    const int width = std::min(rect.width(), area.width());
    const int height = std::min(rect.height(), area.height());
    const int left = std::clamp(rect.left(), area.left(), area.left() + area.width() - width);
    const int top = std::clamp(rect.top(), area.top(), area.top() + area.height() - height);
    return QRect(left, top, width, height);
}

QRect DefaultGeometry(int workAreaWidth, const QPoint& currentPosition) {
    if (workAreaWidth <= 800)
        return QRect(0, 0, 800, 570);
    return QRect(currentPosition, QSize(900, 700));
}

} // namespace hwc::ui
