#pragma once
// The timing-graph control: one bit drawn as equal time quanta with its segments, the sample
// point and how far resynchronisation may move it, from the description text the module sets.

#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>

#include "model/BitGraph.h"

namespace hwc::ui::page {

class CBitGraphWidget final : public QWidget {
    Q_OBJECT

public:
    explicit CBitGraphWidget(QWidget* parent = nullptr);

    // Takes a new description; a text that is no description is drawn as it is.
    void SetDescription(const QString& text);
    const QString& Description() const { return m_text; }
    // The graph drawn, or none while the text is shown instead.
    const std::optional<hwc::tBitGraph>& Graph() const { return m_graph; }

    // Where the bit is drawn at the current size: the box of the quanta, and the left edge of
    // quantum `index` (0 to the quanta count, the last being the box's right edge).
    QRectF BitBox() const;
    double QuantumX(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The height of one text line, the unit of the graph's rows.
    int LineHeight() const;
    QColor LineColour() const;

    QString m_text;
    std::optional<hwc::tBitGraph> m_graph;
};

} // namespace hwc::ui::page
