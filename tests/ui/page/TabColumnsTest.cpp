// List boxes whose rows are tab-separated cells (candidate tables) show aligned columns and
// still behave as list boxes; rows without tabs look as they always did.

#include "ui/page/TabColumnsDelegate.h"

#include "ui/page/PageWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using hwc::ui::page::CTabColumnsDelegate;

enum : int { kList = 400 };

const CDialogTemplate& ListTemplate() {
    static const CDialogTemplate page(1, {dlg::ListBox(kList)});
    return page;
}

class CSelectionLog final : public IControlHandler {
public:
    void OnControlEvent(CPageControl&, EControlEvent event) override {
        selections += event == EControlEvent::SelectionChanged;
    }
    void OnControlDestroyed(CPageControl&) override {}
    int selections = 0;
};

// The right-most column holding a pixel other than the background, inside one row.
int RightmostInk(const QImage& image, const QRect& row, const QColor& background) {
    for (int x = std::min(row.right(), image.width() - 1); x >= row.left(); --x) {
        for (int y = row.top(); y <= row.bottom() && y < image.height(); ++y) {
            if (image.pixelColor(x, y) != background)
                return x;
        }
    }
    return -1;
}

class TabColumnsTest : public ::testing::Test {
protected:
    TabColumnsTest() : m_page(ListTemplate()) {
        m_page.FindControl(kList)->SetHandler(&m_log);
        m_widget = std::make_unique<CPageWidget>(m_page);
        m_widget->resize(600, 400);
    }
    ~TabColumnsTest() override { m_page.FindControl(kList)->SetHandler(nullptr); }

    QListWidget* List() {
        auto* list = qobject_cast<QListWidget*>(m_widget->WidgetFor(kList));
        EXPECT_NE(list, nullptr);
        return list;
    }
    // Per row, the right-most drawn pixel.
    std::vector<int> RowEnds() {
        QListWidget* list = List();
        const QImage image = list->viewport()->grab().toImage();
        const QColor background = list->palette().color(QPalette::Base);
        std::vector<int> ends;
        for (int row = 0; row < list->count(); ++row)
            ends.push_back(RightmostInk(image, list->visualItemRect(list->item(row)), background));
        return ends;
    }

    CSelectionLog m_log;
    CPage m_page;
    std::unique_ptr<CPageWidget> m_widget;
};

TEST_F(TabColumnsTest, TabRowsKeepSelectionAndKeys) {
    m_widget->show();
    QApplication::setActiveWindow(m_widget.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_widget.get()));
    CPageControl& control = *m_page.FindControl(kList);
    control.SetItems({"1\t8\t2\t3\t2\t1", "2\t10\t3\t3\t3\t2", "5\t16\t5\t6\t4\t4"});
    control.SetSelection(0);
    QListWidget* list = List();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(1)->text(), "2\t10\t3\t3\t3\t2"); // the row itself is unchanged
    EXPECT_EQ(list->currentRow(), 0);

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(control.Selection(), 1);
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(control.Selection(), 2);
    QTest::keyClick(list, Qt::Key_Down); // stays on the last row
    EXPECT_EQ(control.Selection(), 2);
    EXPECT_EQ(m_log.selections, 2);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(control.Selection(), 0);
    EXPECT_EQ(m_log.selections, 3);
}

TEST_F(TabColumnsTest, TakingTheFocusChoosesNoRow) {
    m_widget->show();
    QApplication::setActiveWindow(m_widget.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_widget.get()));
    CPageControl& control = *m_page.FindControl(kList);
    control.SetItems({"1\t8", "2\t10"});
    QListWidget* list = List();
    list->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(control.Selection(), -1);
    EXPECT_EQ(m_log.selections, 0);

    // The page choosing a row is shown, not reported back as the user's choice.
    control.SetSelection(1);
    QApplication::processEvents();
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(m_log.selections, 0);
    control.SetSelection(-1);
    QApplication::processEvents();
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(m_log.selections, 0);
}

TEST_F(TabColumnsTest, CellsLineUpInColumns) {
    m_widget->show();
    CPageControl& control = *m_page.FindControl(kList);
    // Numbers keep to the right of their column, text to the left: so with the same last cell
    // every row ends at the same pixel, however wide the first cells are.
    control.SetItems({"7\t3\tab", "77777777777777777777\t333\tab", "\t\tab"});
    QApplication::processEvents();
    List()->setCurrentRow(-1); // the focus made the first row current: no focus frame in the way
    QApplication::processEvents();
    std::vector<int> ends = RowEnds();
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_GT(ends[0], 0);
    EXPECT_EQ(ends[1], ends[0]);
    EXPECT_EQ(ends[2], ends[0]);

    // Columns take the width of their widest cell: a wider row moves every row's later cells.
    control.SetItems({"7\t3\tab", "777777777777777777777777777777\t333\tab"});
    QApplication::processEvents();
    const std::vector<int> wider = RowEnds();
    ASSERT_EQ(wider.size(), 2u);
    EXPECT_EQ(wider[1], wider[0]);
    EXPECT_GT(wider[0], ends[0]);

    // A right-aligned number column: a short number ends where a long one does.
    control.SetItems({"1\t9", "1000\t9"});
    QApplication::processEvents();
    QListWidget* list = List();
    const QFont font = list->font();
    auto* delegate = qobject_cast<CTabColumnsDelegate*>(list->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    const std::vector<int>& widths = delegate->ColumnWidths(font);
    ASSERT_EQ(widths.size(), 2u);
    const QFontMetrics metrics(font);
    EXPECT_EQ(widths[0], metrics.horizontalAdvance("1000") + 2 * metrics.averageCharWidth());
    // The row is as wide as its columns, so the list scrolls to the last one.
    EXPECT_GE(list->visualItemRect(list->item(0)).width(), widths[0] + widths[1]);
}

TEST_F(TabColumnsTest, RowsWithoutTabsLookAsBefore) {
    const QStringList rows = {"alpha", "beta", "a much longer row of text"};
    QListWidget plain;
    plain.resize(300, 200);
    plain.addItems(rows);
    QListWidget columns;
    columns.resize(300, 200);
    auto* delegate = new CTabColumnsDelegate(&columns);
    columns.setItemDelegate(delegate);
    delegate->SetRows(rows);
    columns.addItems(rows);
    plain.setCurrentRow(1);
    columns.setCurrentRow(1);
    EXPECT_EQ(plain.grab().toImage(), columns.grab().toImage());
    EXPECT_TRUE(delegate->ColumnWidths(columns.font()).empty());
}

TEST_F(TabColumnsTest, RowsTheDelegateWasNotToldAboutStillDraw) {
    // Ragged rows, empty cells, and rows added without telling the delegate.
    QListWidget list;
    list.resize(300, 200);
    auto* delegate = new CTabColumnsDelegate(&list);
    list.setItemDelegate(delegate);
    delegate->SetRows({"a\tb"});
    list.addItems({"a\tb", "1\t2\t3\t4", "\t", "x"});
    const QImage image = list.grab().toImage();
    EXPECT_FALSE(image.isNull());
    EXPECT_GT(list.visualItemRect(list.item(1)).width(), 0);
    EXPECT_EQ(delegate->ColumnWidths(list.font()).size(), 2u);
    delegate->SetRows({"1\t2\t3\t4", "x"});
    EXPECT_EQ(delegate->ColumnWidths(list.font()).size(), 4u);
}

} // namespace
