#include <gtest/gtest.h>

#include <string>

#include "model/DialogTemplate.h"
#include "model/ModalPage.h"

namespace {

const CDialogTemplate& Template() {
    static const CDialogTemplate page(
        1, {dlg::Edit(10), dlg::DropList(11, {"one", "two", "three"}), dlg::CheckBox(12, "on")});
    return page;
}

// A page whose Apply is accepted or refused at will, counting what it hears.
class CTestModalPage : public CModalPage {
public:
    CTestModalPage() : CModalPage(Template(), "Test") {
        BindText(10, text);
        BindChoice(11, choice);
        BindCheck(12, check);
    }
    CPageControl& Control(int id) { return *Page().FindControl(id); }

    std::string text = "abc";
    int choice = 1;
    bool check = true;
    bool accept = true;
    int applies = 0;
    int changes = 0;

protected:
    bool OnApply() override {
        ++applies;
        return accept;
    }
    void OnValuesChanged() override { ++changes; }
};

class CFixedRunner : public hwc::IModalPageRunner {
public:
    explicit CFixedRunner(CModalPage::EResult answer, bool apply)
        : m_answer(answer), m_apply(apply) {}
    CModalPage::EResult Run(CModalPage& page) override {
        if (m_apply)
            page.Apply();
        return m_answer;
    }

private:
    CModalPage::EResult m_answer;
    bool m_apply;
};

} // namespace

TEST(ModalPage, BoundValuesShowAndFollowTheUser) {
    CTestModalPage page;
    EXPECT_EQ(page.Control(10).Text(), "abc");
    EXPECT_EQ(page.Control(11).Selection(), 1);
    EXPECT_EQ(page.Control(12).Check(), 1);
    page.Page().UserEdit(page.Control(10), "xyz");
    page.Page().UserSelect(page.Control(11), 2);
    page.Page().UserClick(page.Control(12));
    EXPECT_EQ(page.text, "xyz");
    EXPECT_EQ(page.choice, 2);
    EXPECT_FALSE(page.check);
    EXPECT_EQ(page.changes, 3);
    // Values the owner sets show once the controls are refreshed.
    page.text = "new";
    page.choice = 0;
    page.RefreshControls();
    EXPECT_EQ(page.Control(10).Text(), "new");
    EXPECT_EQ(page.Control(11).Selection(), 0);
}

TEST(ModalPage, ApplyOnlyWhenThePageTakesItsValues) {
    CTestModalPage page;
    EXPECT_EQ(page.Result(), CModalPage::EResult::Cancel);
    // Without a runner (headless) every page is cancelled, and nothing is applied.
    EXPECT_EQ(hwc::RunModalPage(page), CModalPage::EResult::Cancel);
    EXPECT_EQ(page.applies, 0);
    {
        // A runner that answers Apply for a page that never applied gets Cancel.
        CFixedRunner runner(CModalPage::EResult::Apply, false);
        hwc::ScopedModalPageRunner scope(runner);
        EXPECT_EQ(hwc::RunModalPage(page), CModalPage::EResult::Cancel);
        page.accept = false;
        CFixedRunner refusing(CModalPage::EResult::Apply, true);
        hwc::ScopedModalPageRunner inner(refusing);
        EXPECT_EQ(hwc::RunModalPage(page), CModalPage::EResult::Cancel);
        EXPECT_EQ(page.applies, 1);
    }
    page.accept = true;
    EXPECT_TRUE(page.Apply());
    EXPECT_EQ(page.Result(), CModalPage::EResult::Apply);
    // A second Apply writes nothing again.
    EXPECT_TRUE(page.Apply());
    EXPECT_EQ(page.applies, 2);
    // The runner is gone with its scope.
    EXPECT_EQ(hwc::RunModalPage(page), CModalPage::EResult::Cancel);
}
