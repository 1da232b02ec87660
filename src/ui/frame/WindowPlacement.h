#pragma once
// The main window's placement as the program stores it between runs: a 44-byte record (length,
// flags, show state, minimized position, maximized position, normal rectangle; little-endian
// 32-bit fields), and the rules that turn a stored record or the screen size into the window's
// first placement.

#include <QByteArray>
#include <QRect>

#include <cstdint>
#include <optional>

namespace hwc::ui {

inline constexpr int kPlacementSize = 44;

// Show states of the record.
inline constexpr int kShowHide = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShowMinimize = 6;

struct tWindowPlacement {
    std::uint32_t length = kPlacementSize;
    std::uint32_t flags = 0;
    std::int32_t showState = kShowNormal;
    QPoint minPosition;
    QPoint maxPosition;
    QRect normal; // the window's normal (not maximized) geometry
};

QByteArray EncodePlacement(const tWindowPlacement& placement);
// The record read back; none unless the bytes have the full length and a non-zero length field.
std::optional<tWindowPlacement> DecodePlacement(const QByteArray& bytes);

// The show state to apply: a minimized state becomes normal, a launch request other than
// "normal" (when positive) replaces it, and "hide" becomes normal.
int ResolveShowState(int storedState, int launchShowState);

// The rectangle moved and, when larger, shrunk so that it lies inside the area (a screen's
// available geometry); an empty area leaves it as it is. A placement saved at another scale or
// on a larger screen must not open a window beyond the screen.
QRect ClampToArea(const QRect& rect, const QRect& area);

// The size and position of a window without stored placement: 800 x 570 at the top left corner
// on a work area at most 800 pixels wide, else 900 x 700 where the window is.
QRect DefaultGeometry(int workAreaWidth, const QPoint& currentPosition);

} // namespace hwc::ui
