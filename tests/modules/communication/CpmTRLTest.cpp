#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/communication/CpmTRL.h"
#include "support/ModuleTestHost.h"

namespace {

using T = CpmTRL;
constexpr const char* kOneModule = "Select exactly one communication module";

struct CTrlFixture {
    CTrlFixture() {
        host.groups = {hwc::test::kFamG};
        trl = &host.Add<CpmTRL>("TRL", "TRL");
        host.BindAll();
        trl->CreatePage();
        trl->OnInitialUpdate();
        Refresh();
    }
    void Refresh() {
        trl->UpdateControlStates();
        trl->CheckWarnings();
    }
    CPageControl& Control(int id) { return *trl->Page()->FindControl(id); }
    void Click(int id) {
        trl->Page()->UserClick(Control(id));
        Refresh();
    }
    void Edit(int id, const std::string& text) {
        trl->Page()->UserEdit(Control(id), text);
        Refresh();
    }

    hwc::test::CModuleTestHost host;
    CpmTRL* trl = nullptr;
};

} // namespace

TEST(CpmTRL, ElevenOptionsInOrder) {
    CTrlFixture f;
    const std::vector<std::string> expected = {
        "INCLUDE_CMD_SCOPE", "INCLUDE_CMD_RECORDER", "INCLUDE_CMD_APPCMD", "SCOPE_MAX_VARS",
        "REC_MAX_VARS",      "REC_BUFFER_SIZE",      "APPCMD_BUFFER_SIZE", "COMM_BUFFER_SIZE",
        "COMM_MODULE_SCI0",  "COMM_MODULE_SCI1",     "COMM_MODULE_JTAG"};
    ASSERT_EQ(f.trl->ItemCount(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(f.trl->Item(i).szName, expected[i]);
        const bool novalue = i < 3 || i > 7;
        EXPECT_EQ((f.trl->Item(i).dwFlags & hwc::RegFlag::NOVALUE) != 0, novalue) << i;
        if (!novalue) {
            EXPECT_NE(f.trl->Item(i).dwFlags & hwc::RegFlag::DECVALUE, 0u) << i;
        }
    }
}

TEST(CpmTRL, SizesFollowTheirFeature) {
    CTrlFixture f;
    for (int id : {T::kScopeVarsId, T::kRecorderVarsId, T::kRecorderBufferId, T::kAppCmdBufferId})
        EXPECT_FALSE(f.Control(id).IsEnabled()) << id;
    EXPECT_TRUE(f.Control(T::kCommBufferId).IsEnabled());
    f.Click(T::kRecorderId);
    EXPECT_EQ(f.trl->Item(T::kRecorderItem).dwValue, 1u);
    EXPECT_TRUE(f.Control(T::kRecorderVarsId).IsEnabled());
    EXPECT_TRUE(f.Control(T::kRecorderBufferId).IsEnabled());
    EXPECT_FALSE(f.Control(T::kScopeVarsId).IsEnabled());
    f.Click(T::kScopeId);
    EXPECT_TRUE(f.Control(T::kScopeVarsId).IsEnabled());
    f.Click(T::kAppCmdId);
    EXPECT_TRUE(f.Control(T::kAppCmdBufferId).IsEnabled());
    // Variable counts run from 1 to 8.
    f.Edit(T::kScopeVarsId, "1");
    EXPECT_EQ(f.trl->Item(T::kScopeVarsItem).dwValue, 1u);
    f.Edit(T::kScopeVarsId, "9");
    EXPECT_EQ(f.trl->Item(T::kScopeVarsItem).dwValue, 1u);
    f.Edit(T::kScopeVarsId, "0");
    EXPECT_EQ(f.trl->Item(T::kScopeVarsItem).dwValue, 1u);
    f.Edit(T::kRecorderVarsId, "8");
    EXPECT_EQ(f.trl->Item(T::kRecorderVarsItem).dwValue, 8u);
}

TEST(CpmTRL, ExactlyOneCommunicationModule) {
    CTrlFixture f;
    // A driver not written to the header asks for nothing.
    EXPECT_FALSE(f.host.Warns(T::kCommLabelId));
    f.trl->SetSelected(true);
    f.Refresh();
    EXPECT_EQ(f.host.Warning(*f.trl, T::kCommLabelId), kOneModule);
    EXPECT_TRUE(f.Control(T::kCommLabelId).IsVisible());
    f.Click(T::kCommSci1Id);
    EXPECT_FALSE(f.host.Warns(T::kCommLabelId));
    EXPECT_TRUE(f.Control(T::kCommLabelId).IsVisible());
    EXPECT_EQ(f.Control(T::kCommLabelId).Text(), "Communication module:");
    // The radio group keeps one choice.
    f.Click(T::kCommJtagId);
    EXPECT_EQ(f.trl->Item(T::kCommSci1Item).dwValue, 0u);
    EXPECT_EQ(f.trl->Item(T::kCommJtagItem).dwValue, 1u);
    EXPECT_EQ(f.trl->ChosenCommunicationModules(), 1);
    // Two defines in a header are read as they are and warned about.
    f.trl->Item(T::kCommSci0Item).dwValue = 1;
    f.Refresh();
    EXPECT_EQ(f.trl->ChosenCommunicationModules(), 2);
    EXPECT_EQ(f.host.Warning(*f.trl, T::kCommLabelId), kOneModule);
}
