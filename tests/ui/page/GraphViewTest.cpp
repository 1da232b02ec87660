// The timing-graph control drawn offscreen: where its lines land, that it follows the control's
// text, and that anything that is no description is shown as text.

#include "ui/page/GraphView.h"

#include "model/BitGraph.h"
#include "ui/page/PageWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <memory>
#include <string>

namespace {

using hwc::ui::page::CBitGraphWidget;

enum : int { kGraph = 300, kNote = 301 };

const CDialogTemplate& GraphTemplate() {
    static const CDialogTemplate page(1, {dlg::Label("Bit timing", kNote), dlg::Graph(kGraph)});
    return page;
}

const QColor kDarkBlue(0, 0, 128);

// 10 quanta: sync 1, prop 3, pseg1 3, pseg2 3, sampled after 7 with a jump of 1.
hwc::tBitGraph NominalBit(std::uint32_t colour = 0x800000) {
    hwc::tBitGraph graph;
    graph.quanta = 10;
    graph.segments = {{"sync", 1}, {"prop", 3}, {"pseg1", 3}, {"pseg2", 3}};
    graph.sampleAfter = 7;
    graph.jumpWidth = 1;
    graph.colour = colour;
    return graph;
}

class GraphViewTest : public ::testing::Test {
protected:
    GraphViewTest() : m_page(GraphTemplate()) {
        m_widget = std::make_unique<CPageWidget>(m_page);
        m_widget->resize(640, 300);
        m_widget->show();
        QApplication::processEvents();
    }

    CBitGraphWidget* Graph() {
        auto* graph = qobject_cast<CBitGraphWidget*>(m_widget->WidgetFor(kGraph));
        EXPECT_NE(graph, nullptr);
        return graph;
    }
    void Describe(const std::string& text) {
        m_page.FindControl(kGraph)->SetText(text);
        QApplication::processEvents();
    }
    QImage Picture() { return Graph()->grab().toImage(); }
    static int CountColour(const QImage& image, const QColor& colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == colour;
        }
        return count;
    }
    // Whether the pixel at (x, y), or one beside it, has the colour (lines fall on either side
    // of a fractional position).
    static bool Near(const QImage& image, double x, double y, const QColor& colour) {
        const int row = static_cast<int>(y);
        for (int dx = -1; dx <= 1; ++dx) {
            const int column = static_cast<int>(x) + dx;
            if (column >= 0 && column < image.width() && image.pixelColor(column, row) == colour)
                return true;
        }
        return false;
    }

    CPage m_page;
    std::unique_ptr<CPageWidget> m_widget;
};

TEST_F(GraphViewTest, ADescriptionDrawsQuantaSegmentsAndTheSamplePoint) {
    Describe(hwc::FormatBitGraph(NominalBit()));
    CBitGraphWidget* graph = Graph();
    ASSERT_TRUE(graph->Graph().has_value());
    EXPECT_EQ(*graph->Graph(), NominalBit());
    const QImage image = Picture();
    EXPECT_GT(CountColour(image, kDarkBlue), 0);

    const QRectF box = graph->BitBox();
    const double middle = box.center().y();
    const double nearBottom = box.bottom() - box.height() / 6;
    // Segment boundaries after 1, 4 and 7 quanta cross the bit; a quantum tick inside a segment
    // only rises from the bottom.
    for (int boundary : {1, 4, 7})
        EXPECT_TRUE(Near(image, graph->QuantumX(boundary), middle, kDarkBlue)) << boundary;
    EXPECT_TRUE(Near(image, graph->QuantumX(2), nearBottom, kDarkBlue));
    EXPECT_FALSE(Near(image, graph->QuantumX(2), middle, kDarkBlue));
    // Inside a quantum the bit is empty.
    const double inside = (graph->QuantumX(2) + graph->QuantumX(3)) / 2;
    EXPECT_NE(image.pixelColor(static_cast<int>(inside), static_cast<int>(middle)), kDarkBlue);

    // The jump arrows reach one quantum either side of the sample point and no further.
    const double arrowRow = box.top() - 1.5 * graph->fontMetrics().height();
    EXPECT_TRUE(Near(image, graph->QuantumX(7), arrowRow, kDarkBlue));
    EXPECT_TRUE(Near(image, (graph->QuantumX(6) + graph->QuantumX(7)) / 2, arrowRow, kDarkBlue));
    EXPECT_TRUE(Near(image, (graph->QuantumX(7) + graph->QuantumX(8)) / 2, arrowRow, kDarkBlue));
    EXPECT_FALSE(Near(image, graph->QuantumX(8) + 4, arrowRow, kDarkBlue));
    EXPECT_FALSE(Near(image, graph->QuantumX(6) - 4, arrowRow, kDarkBlue));
    EXPECT_DOUBLE_EQ(graph->QuantumX(0), box.left());
    EXPECT_DOUBLE_EQ(graph->QuantumX(10), box.right());
    EXPECT_DOUBLE_EQ(graph->QuantumX(11), box.right()); // clamped, never beyond the bit
}

TEST_F(GraphViewTest, ANewDescriptionRedrawsInItsColour) {
    Describe(hwc::FormatBitGraph(NominalBit()));
    EXPECT_GT(CountColour(Picture(), kDarkBlue), 0);
    Describe(hwc::FormatBitGraph(NominalBit(0x0000FF))); // red in 0x00BBGGRR
    const QImage image = Picture();
    EXPECT_GT(CountColour(image, QColor(255, 0, 0)), 0);
    EXPECT_EQ(CountColour(image, kDarkBlue), 0);
    // Bits above the colour's 24 are not part of it.
    Describe(hwc::FormatBitGraph(NominalBit(0x7F008000)));
    EXPECT_GT(CountColour(Picture(), QColor(0, 128, 0)), 0);
}

TEST_F(GraphViewTest, TextThatIsNoDescriptionIsShownAsText) {
    Describe(hwc::FormatBitGraph(NominalBit()));
    for (const std::string text : {"Bit timing not available", "",
                                   "10 quanta: sync 1, prop 3; sample after 7; jump 1; "
                                   "colour 0x800000", // segments do not fill the bit
                                   "0 quanta: sync 0; sample after 0; jump 0; colour 0x800000"}) {
        Describe(text);
        CBitGraphWidget* graph = Graph();
        EXPECT_FALSE(graph->Graph().has_value()) << text;
        EXPECT_EQ(graph->Description().toStdString(), text);
        const QImage image = Picture();
        EXPECT_EQ(CountColour(image, kDarkBlue), 0) << text;
        // The text itself is drawn: some pixel differs from the background.
        const QColor background = graph->palette().color(QPalette::Window);
        const int plain = CountColour(image, background) +
                          CountColour(image, graph->palette().color(QPalette::Base));
        if (text.empty())
            EXPECT_EQ(plain, image.width() * image.height());
        else
            EXPECT_LT(plain, image.width() * image.height()) << text;
    }
}

TEST_F(GraphViewTest, BitsAtTheirLimitsDrawWithoutArrowsOffTheBit) {
    // Sampled at the very end with a jump wider than what is left: only the left arrow.
    hwc::tBitGraph late = NominalBit();
    late.segments = {{"sync", 1}, {"prop", 3}, {"pseg1", 6}, {"pseg2", 0}};
    late.sampleAfter = 10;
    late.jumpWidth = 3;
    Describe(hwc::FormatBitGraph(late));
    CBitGraphWidget* graph = Graph();
    ASSERT_TRUE(graph->Graph().has_value());
    QImage image = Picture();
    const double arrowRow = graph->BitBox().top() - 1.5 * graph->fontMetrics().height();
    EXPECT_TRUE(Near(image, graph->QuantumX(8), arrowRow, kDarkBlue));
    EXPECT_FALSE(Near(image, graph->QuantumX(6) - 4, arrowRow, kDarkBlue));

    // A long bit leaves its quantum ticks out instead of blackening the box, and still draws.
    hwc::tBitGraph longBit;
    longBit.quanta = 2000000;
    longBit.segments = {{"sync", 1}, {"rest", 1999999}};
    longBit.sampleAfter = 1000000;
    Describe(hwc::FormatBitGraph(longBit));
    ASSERT_TRUE(Graph()->Graph().has_value());
    image = Picture();
    EXPECT_GT(CountColour(image, kDarkBlue), 0);
    const QRectF box = Graph()->BitBox();
    const double quarter = box.left() + box.width() / 4;
    EXPECT_NE(image.pixelColor(static_cast<int>(quarter), static_cast<int>(box.bottom() - 2)),
              kDarkBlue);
}

TEST_F(GraphViewTest, HeightIsFixedAndWidthFollowsThePage) {
    Describe(hwc::FormatBitGraph(NominalBit()));
    CBitGraphWidget* graph = Graph();
    const int height = graph->height();
    const int width = graph->width();
    EXPECT_EQ(height, graph->sizeHint().height());
    m_widget->resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(graph->height(), height);
    EXPECT_GT(graph->width(), width);
    // Everything drawn lies inside the widget: the box keeps its margins.
    EXPECT_GE(graph->BitBox().left(), 0);
    EXPECT_LE(graph->BitBox().right(), graph->width());
    EXPECT_LE(graph->BitBox().bottom() + graph->fontMetrics().height(), graph->height());
}

TEST_F(GraphViewTest, ADisabledGraphLeavesItsColour) {
    Describe(hwc::FormatBitGraph(NominalBit()));
    m_page.EnableControl(kGraph, false);
    QApplication::processEvents();
    EXPECT_EQ(CountColour(Picture(), kDarkBlue), 0);
    m_page.EnableControl(kGraph, true);
    QApplication::processEvents();
    EXPECT_GT(CountColour(Picture(), kDarkBlue), 0);
}

} // namespace
