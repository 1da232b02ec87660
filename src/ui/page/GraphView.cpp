#include "ui/page/GraphView.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/page/ControlView.h"
#include "ui/page/PageText.h"

namespace hwc::ui::page {
namespace {

constexpr int kSideMargin = 6;
constexpr int kTopMargin = 2;
// Quantum ticks are left out once they would crowd closer than this (pixels).
constexpr double kNarrowestTick = 3.0;
constexpr int kLabelGap = 4;
constexpr int kPreferredWidth = 360;
constexpr int kMinimumWidth = 160;

// Colours are given as 0x00BBGGRR.
QColor FromColourRef(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

// An arrow head at `tip` pointing left (direction -1) or right (+1).
QPolygonF ArrowHead(QPointF tip, int direction, double size) {
    return QPolygonF({tip, QPointF(tip.x() - direction * size, tip.y() - size / 2),
                      QPointF(tip.x() - direction * size, tip.y() + size / 2)});
}

} // namespace

CBitGraphWidget::CBitGraphWidget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CBitGraphWidget::SetDescription(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    m_graph = hwc::ParseBitGraph(FromQt(text));
    if (m_graph && m_graph->quanta <= 0)
        m_graph.reset(); // a bit without time has nothing to draw
    updateGeometry();
    update();
}

int CBitGraphWidget::LineHeight() const {
    return fontMetrics().height();
}

// Rows from the top: the jump-width arrows, labels that do not fit below, the bit itself, then
// the segment labels.
QRectF CBitGraphWidget::BitBox() const {
    const int line = LineHeight();
    const double top = kTopMargin + 2.0 * line;
    const double left = kSideMargin;
    const double right = std::max<double>(left + 1, width() - kSideMargin);
    return QRectF(QPointF(left, top), QPointF(right, top + 1.5 * line));
}

double CBitGraphWidget::QuantumX(int index) const {
    const QRectF box = BitBox();
    if (!m_graph || m_graph->quanta <= 0)
        return box.left();
    const int clamped = std::clamp(index, 0, m_graph->quanta);
    return box.left() + box.width() * clamped / m_graph->quanta;
}

QSize CBitGraphWidget::sizeHint() const {
    const int height = 2 * kTopMargin + (LineHeight() * 9 + 1) / 2;
    if (!m_graph)
        return QSize(std::max(kMinimumWidth, fontMetrics().horizontalAdvance(m_text)), height);
    return QSize(kPreferredWidth, height);
}

QSize CBitGraphWidget::minimumSizeHint() const {
    return QSize(kMinimumWidth, sizeHint().height());
}

QColor CBitGraphWidget::LineColour() const {
    if (!isEnabled())
        return palette().color(QPalette::Disabled, QPalette::WindowText);
    return FromColourRef(m_graph ? m_graph->colour : 0);
}

void CBitGraphWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_graph) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect().adjusted(kSideMargin, 0, -kSideMargin, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, m_text);
        return;
    }
    const tBitGraph& graph = *m_graph;
    const QColor colour = LineColour();
    const QRectF box = BitBox();
    const int line = LineHeight();
    painter.setPen(QPen(colour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);

    // Short ticks between quanta, from the bottom edge.
    const double quantumWidth = box.width() / graph.quanta;
    if (quantumWidth >= kNarrowestTick) {
        for (int q = 1; q < graph.quanta; ++q) {
            const double x = QuantumX(q);
            painter.drawLine(QPointF(x, box.bottom()), QPointF(x, box.bottom() - box.height() / 3));
        }
    }

    // Segment boundaries across the whole bit, and the labels under (or, when neighbours would
    // collide, over) their segments.
    const QFontMetrics metrics = fontMetrics();
    double underEnd = -1e9;
    double overEnd = -1e9;
    int start = 0;
    for (const tBitGraphSegment& segment : graph.segments) {
        const int end = start + segment.quanta;
        if (start > 0 && start < graph.quanta)
            painter.drawLine(QPointF(QuantumX(start), box.top()),
                             QPointF(QuantumX(start), box.bottom()));
        if (segment.quanta > 0 && !segment.label.empty()) {
            const QString label = ToQt(segment.label);
            const double textWidth = metrics.horizontalAdvance(label);
            const double centre = (QuantumX(start) + QuantumX(end)) / 2;
            const double left =
                std::clamp(centre - textWidth / 2, 0.0, std::max(0.0, width() - textWidth));
            const bool over = left < underEnd + kLabelGap && left >= overEnd + kLabelGap;
            const double top = over ? box.top() - line : box.bottom();
            painter.drawText(QRectF(left, top, textWidth, line), Qt::AlignCenter, label);
            (over ? overEnd : underEnd) = left + textWidth;
        }
        start = end;
    }

    // The sample point crosses the bit from the arrow row; the arrows show how far
    // resynchronisation may move it either way.
    const double sampleX = QuantumX(graph.sampleAfter);
    const double arrowY = kTopMargin + line / 2.0;
    painter.setPen(QPen(colour, 2));
    painter.drawLine(QPointF(sampleX, kTopMargin), QPointF(sampleX, box.bottom()));
    painter.setPen(QPen(colour, 1));
    painter.setBrush(colour);
    if (graph.jumpWidth > 0) {
        const double head = std::max(4.0, line / 3.0);
        for (int direction : {-1, 1}) {
            const double tipX = QuantumX(graph.sampleAfter + direction * graph.jumpWidth);
            if (std::abs(tipX - sampleX) < 1.0)
                continue; // the sample point sits on that edge of the bit
            painter.drawLine(QPointF(sampleX, arrowY), QPointF(tipX, arrowY));
            painter.drawPolygon(ArrowHead(QPointF(tipX, arrowY), direction,
                                          std::min(head, std::abs(tipX - sampleX))));
        }
    }
}

namespace {

class CGraphView final : public CControlView {
public:
    explicit CGraphView(CPageControl& control) : CControlView(control) {
        m_graph = new CBitGraphWidget;
        SetWidget(m_graph);
    }

protected:
    void RefreshContent() override { m_graph->SetDescription(ToQt(Control().Text())); }

private:
    CBitGraphWidget* m_graph;
};

} // namespace

std::unique_ptr<CControlView> MakeGraphView(CPageControl& control) {
    return std::make_unique<CGraphView>(control);
}

} // namespace hwc::ui::page
