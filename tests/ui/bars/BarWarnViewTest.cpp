// The warnings bar: rows follow the document's warnings once per idle pass, keep their
// selection across rebuilds, and lead to the module page and control a warning is about.

#include "ui/bars/BarWarnView.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include "model/ModuleBase.h"
#include "model/Page.h"
#include "ui/bars/BarsTestProject.h"

using namespace barstest;

namespace {

QStringList RowTexts(const CBarWarnView& view) {
    QStringList texts;
    for (int i = 0; i < view.List()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = view.List()->topLevelItem(i);
        texts << item->text(0) + " | " + item->text(1);
    }
    return texts;
}

// Stands in for the page renderer: records the balloon tool-tips the page asks for.
struct CToolTipRecorder : IPageObserver {
    std::vector<std::string> tips;
    void OnControlChanged(CPageControl&) override {}
    void OnSubPageInserted(CPageControl&) override {}
    void OnFocusRequested(CPageControl&) override {}
    void OnToolTip(CPageControl& control, const std::string& text,
                   const std::string& title) override {
        tips.push_back(std::to_string(control.Id()) + " " + title + ": " + text);
    }
};

class BarWarnViewTest : public BarsProjectTest {
protected:
    void SetUp() override {
        BarsProjectTest::SetUp();
        Open();
        m_view.SetDocument(m_document.get());
        m_view.show();
        m_view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
        m_document->IdleUpdate();
        m_initialRows = m_view.List()->topLevelItemCount();
    }
    void TearDown() override {
        // The view lets go of the document before the document goes.
        m_view.SetDocument(nullptr);
        BarsProjectTest::TearDown();
    }

    void Raise(int id, const char* message) { Clock()->SetWarning(id, true, message); }
    void Lower(int id) { Clock()->SetWarning(id, false, nullptr); }
    // The rows added by the test, after the warnings the example raised by itself.
    QStringList OwnRows() const { return RowTexts(m_view).mid(m_initialRows); }
    QTreeWidgetItem* OwnRow(int index) const {
        return m_view.List()->topLevelItem(m_initialRows + index);
    }

    CBarWarnView m_view;
    int m_initialRows = 0;
};

} // namespace

TEST_F(BarWarnViewTest, RaisedWarningsAppearOnTheNextIdlePass) {
    Raise(kIndicatorId, "Warning: <b>PLL</b> out of range");
    Raise(kSecondIndicatorId, "ERROR:  VCO too fast");
    Raise(kIndicatorId, "PLL still out of range");
    EXPECT_TRUE(OwnRows().isEmpty());

    m_document->IdleUpdate();
    const QString title = QString::fromStdString(Clock()->Title());
    EXPECT_EQ(OwnRows(),
              (QStringList{title + " | PLL still out of range", title + " | VCO too fast"}));

    Lower(kIndicatorId);
    m_document->IdleUpdate();
    EXPECT_EQ(OwnRows(), (QStringList{title + " | VCO too fast"}));

    m_document->ClearProject();
    EXPECT_EQ(m_view.List()->topLevelItemCount(), 0);
}

TEST_F(BarWarnViewTest, WarningsOfModulesLeftOutOfTheHeaderNeedTheCheckBox) {
    Raise(kIndicatorId, "PLL out of range");
    Clock()->SetSelected(false);
    m_document->IdleUpdate();
    EXPECT_TRUE(OwnRows().isEmpty());

    QCheckBox* showAll = m_view.findChild<QCheckBox*>();
    ASSERT_NE(showAll, nullptr);
    EXPECT_EQ(showAll->text(), "Show warnings even for non-included modules");
    showAll->click();
    m_document->IdleUpdate();
    ASSERT_EQ(RowTexts(m_view).size(), m_initialRows + 1);
    EXPECT_TRUE(RowTexts(m_view).contains(QString::fromStdString(Clock()->Title()) +
                                          " | PLL out of range"));
}

TEST_F(BarWarnViewTest, SelectionStaysWithTheSameWarningWhenRowsAboveGo) {
    Raise(kIndicatorId, "PLL out of range");
    Raise(kSecondIndicatorId, "VCO too fast");
    m_document->IdleUpdate();
    m_view.List()->clearSelection();
    OwnRow(1)->setSelected(true);

    Lower(kIndicatorId);
    Raise(kIndicatorId, "PLL out of range again");
    m_document->IdleUpdate();
    ASSERT_EQ(OwnRows().size(), 2);
    EXPECT_TRUE(OwnRow(0)->text(1) == "VCO too fast" && OwnRow(0)->isSelected());
    EXPECT_FALSE(OwnRow(1)->isSelected());
    EXPECT_EQ(m_view.List()->currentItem(), OwnRow(0));
}

TEST_F(BarWarnViewTest, ActivatingOneRowShowsThePageWithTheWarningAtItsControl) {
    CpmBarsClock& clock = *Clock();
    ASSERT_TRUE(clock.CreatePage());
    CToolTipRecorder recorder;
    clock.Page()->SetObserver(&recorder);
    Raise(kIndicatorId, "PLL out of range");
    Raise(kSecondIndicatorId, "VCO too fast");
    m_document->IdleUpdate();

    // Several rows selected: nothing happens.
    m_view.List()->clearSelection();
    OwnRow(0)->setSelected(true);
    OwnRow(1)->setSelected(true);
    QTest::keyClick(m_view.List(), Qt::Key_Return);
    EXPECT_TRUE(recorder.tips.empty());

    OwnRow(0)->setSelected(false);
    m_view.FocusList();
    QTest::keyClick(m_view.List(), Qt::Key_Space);
    EXPECT_EQ(m_document->Tree().SelectedModule(), &clock);
    EXPECT_TRUE(clock.Page()->IsVisible());
    ASSERT_EQ(recorder.tips.size(), 1u);
    EXPECT_EQ(recorder.tips[0],
              std::to_string(kSecondIndicatorId) + " Warning detail: VCO too fast");

    // A row whose warning was cleared before the list caught up leads nowhere.
    Lower(kSecondIndicatorId);
    EXPECT_FALSE(m_view.ActivateSelection());
    clock.Page()->SetObserver(nullptr);
}

TEST_F(BarWarnViewTest, EscapeHandsTheFocusBackAndTabMovesToTheCheckBox) {
    int returned = 0;
    QObject::connect(&m_view, &CBarWarnView::focusReturned, [&] { ++returned; });
    m_view.FocusList();
    QTest::keyClick(m_view.List(), Qt::Key_Escape);
    EXPECT_EQ(returned, 1);
    m_view.FocusList();
    QTest::keyClick(m_view.List(), Qt::Key_Tab);
    EXPECT_TRUE(m_view.findChild<QCheckBox*>()->hasFocus());
}

TEST_F(BarWarnViewTest, ClickingARowKeepsTheModuleColumnInView) {
    Raise(kIndicatorId, "PLL out of range");
    m_document->IdleUpdate();
    m_view.resize(400, 200);
    QTest::qWait(0);
    QTreeWidget* list = m_view.List();
    QTreeWidgetItem* row = OwnRow(0);
    ASSERT_NE(row, nullptr);
    list->scrollToItem(row);
    const QRect text = list->visualItemRect(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(250, text.center().y()));
    EXPECT_TRUE(row->isSelected());
    EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
    // Moving along the rows with the keys keeps the module column too.
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
}
