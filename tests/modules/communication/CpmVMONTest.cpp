#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "model/Page.h"
#include "modules/communication/CpmVMON.h"
#include "modules/communication/SpiVmonTestSupport.h"
#include "support/ModuleTestHost.h"

namespace {

using namespace hwc::test;
using namespace hwc::test::spivmon;
using Strings = std::vector<std::string>;
using V = CpmVMON;

// Vector numbers of the stand-in modules' rows: SCI_n rows are 10n+0..10n+3, CAN rows
// 40..43 (LSCAN, YCAN), 50..53 (YCAN2), the monitor's own 60 and 61; "NAME=INT:..." gives a
// module its own list.
struct CVmonFixture {
    explicit CVmonFixture(std::set<int> groups, std::vector<std::string> modules = {"SCI_0"},
                          bool controller = true) {
        host.groups = std::move(groups);
        if (controller) {
            const bool famA = host.groups.count(kFamA) != 0;
            const bool famG = host.groups.count(kFamG) != 0;
            claims = &host.Add<CpmClaimsFake>(famA ? "WINTC" : famG ? "ITCN" : "INTC", "INTC");
        }
        for (std::string name : modules) {
            std::string list;
            if (const std::size_t at = name.find('='); at != std::string::npos) {
                list = name.substr(at + 1);
                name.resize(at);
            } else if (name.rfind("SCI_", 0) == 0) {
                const int n = name.back() - '0';
                list = "INT:" + std::to_string(10 * n) + "," + std::to_string(10 * n + 1) + "," +
                       std::to_string(10 * n + 2) + "," + std::to_string(10 * n + 3) + ":";
            } else if (name == "YCAN2") {
                list = "INT:50,51,52,53:";
            } else {
                list = "INT:40,41,42,43:";
            }
            host.Add<CpmRowsFake>(name, name.substr(0, 3), "", list);
        }
        vmon = &host.Add<CpmVMON>("VMON", "VMON", "", "INT:60,61:");
        host.BindAll();
        vmon->CreatePage();
        vmon->OnInitialUpdate();
        Refresh();
    }
    void Refresh() {
        vmon->UpdateControlStates();
        vmon->CheckWarnings();
    }
    CPageControl& Control(int id) { return *vmon->Page()->FindControl(id); }
    const Strings& List() { return Control(V::kInterfaceId).Items(); }
    void Choose(int shown, int modeRadio) {
        vmon->Page()->UserSelect(Control(V::kInterfaceId), shown);
        vmon->Page()->UserClick(Control(modeRadio));
        Refresh();
    }
    std::set<int> Claimed() const {
        std::set<int> vectors;
        for (const auto& [vector, name] : claims->names) {
            EXPECT_EQ(name, "VMON_Isr");
            vectors.insert(vector);
        }
        return vectors;
    }

    CModuleTestHost host;
    CpmVMON* vmon = nullptr;
    CpmClaimsFake* claims = nullptr;
};

constexpr const char* kNa = " (not available)";

} // namespace

TEST(CpmVMON, InterfaceListsByGroup) {
    // FamG: no debug port, SCI_1 and SCI_2 left out while absent, CAN entries not available.
    CVmonFixture famG({kFamG});
    EXPECT_EQ(famG.List(), (Strings{"Not specified", "SCI_0", std::string("CAN") + kNa,
                                    std::string("CAN_2") + kNa}));
    // FamH with both SCIs and flag 102: everything listed.
    CVmonFixture famH({kFamH, kFlag102}, {"SCI_0", "SCI_1", "SCI_2"});
    EXPECT_EQ(famH.List(),
              (Strings{"Not specified", "SCI_0", "SCI_1", "JTAG", "JTAG  (with TDF workaround)",
                       std::string("CAN") + kNa, "CAN_2", "SCI_2"}));
    // FamH without them: both marked.
    CVmonFixture famHBare({kFamH, kFamK});
    EXPECT_EQ(famHBare.List(), (Strings{"Not specified", "SCI_0", std::string("SCI_1") + kNa,
                                        "JTAG", "JTAG  (with TDF workaround)", "CAN",
                                        std::string("CAN_2") + kNa, std::string("SCI_2") + kNa}));
    // FamE: SCI_2 marked only on entries 43..46 and 50..53, else left out.
    for (int entry : {43, 46, 50, 53}) {
        CVmonFixture famE({kFamE, entry}, {"SCI_0", "SCI_1"});
        EXPECT_EQ(famE.List().back(), std::string("SCI_2") + kNa) << entry;
        EXPECT_EQ(famE.List().size(), 8u);
    }
    for (int entry : {42, 47, 49, 54}) {
        CVmonFixture famE({kFamE, entry}, {"SCI_0", "SCI_1"});
        EXPECT_EQ(famE.List().back(), std::string("CAN_2") + kNa) << entry;
        EXPECT_EQ(famE.List().size(), 7u);
    }
    // Flags 99 and 108 list CAN.
    CVmonFixture flag99({99});
    EXPECT_EQ(flag99.List()[2], "CAN");
    CVmonFixture flag108({kFlag108});
    EXPECT_EQ(flag108.List()[2], "CAN");
}

TEST(CpmVMON, ClaimsTheChosenSciAndReleasesOnPolling) {
    CVmonFixture f({kFamE}, {"SCI_0", "SCI_1"});
    f.Choose(1, V::kShortId);
    EXPECT_EQ(f.Claimed(), (std::set<int>{0, 2, 3}));
    EXPECT_EQ(f.claims->VectorOwner(0), f.vmon);
    f.Choose(2, V::kShortId);
    EXPECT_EQ(f.Claimed(), (std::set<int>{10, 12, 13}));
    f.Choose(2, V::kPollingId);
    EXPECT_TRUE(f.claims->names.empty());
    EXPECT_EQ(f.vmon->Item(V::kPollItem).dwValue, 1u);
    EXPECT_EQ(f.vmon->Item(V::kShortItem).dwValue, 0u);
    f.Choose(2, V::kLongId);
    EXPECT_EQ(f.Claimed(), (std::set<int>{10, 12, 13}));
    EXPECT_FALSE(f.host.Warns(V::kInterfaceLabelId));
    EXPECT_FALSE(f.host.Warns(V::kLongId));
}

TEST(CpmVMON, ClaimsByGroup) {
    // FamA: SCI rows 0 and 1; JTAG and its workaround take the monitor's own rows.
    CVmonFixture famA({kFamA}, {"SCI_0"});
    famA.Choose(1, V::kShortId);
    EXPECT_EQ(famA.Claimed(), (std::set<int>{0, 1}));
    famA.Choose(3, V::kShortId); // "JTAG": SCI_1 is listed not available
    EXPECT_EQ(famA.Claimed(), (std::set<int>{60, 61}));
    famA.Choose(4, V::kLongId);
    EXPECT_EQ(famA.Claimed(), (std::set<int>{60, 61}));
    // FamE CAN on YCAN rows 1..3, CAN_2 not available there.
    CVmonFixture famE({kFamE}, {"SCI_0", "YCAN", "LSCAN"});
    famE.Choose(5, V::kShortId);
    EXPECT_EQ(famE.Claimed(), (std::set<int>{41, 42, 43}));
    // FamF CAN on LSCAN rows 0..2.
    CVmonFixture famF({kFamF}, {"SCI_0", "LSCAN"});
    famF.Choose(5, V::kShortId);
    EXPECT_EQ(famF.Claimed(), (std::set<int>{40, 41, 42}));
    // FamK CAN_2 on YCAN2.
    CVmonFixture famK({kFamH, kFamK, kFlag102}, {"SCI_0", "YCAN2"});
    famK.Choose(6, V::kShortId);
    EXPECT_EQ(famK.Claimed(), (std::set<int>{51, 52, 53}));
    // On FamG the SCI_2 entry is shown fourth but claims SCI_2's vectors.
    CVmonFixture famG({kFamG}, {"SCI_0", "SCI_2"});
    ASSERT_EQ(famG.List().back(), "SCI_2");
    famG.Choose(4, V::kShortId);
    EXPECT_EQ(famG.vmon->Item(V::kInterfaceItem).dwValue, 4u);
    EXPECT_EQ(famG.Claimed(), (std::set<int>{20, 22, 23}));
}

TEST(CpmVMON, RefusedAndImpossibleClaims) {
    CVmonFixture f({kFamE}, {"SCI_0", "SCI_1"});
    f.claims->refused.insert(12);
    f.Choose(2, V::kShortId);
    EXPECT_EQ(f.host.Warning(V::kInterfaceLabelId),
              "Could not set interrupt vectors required by this interface");
    EXPECT_EQ(f.Claimed(), (std::set<int>{10, 13}));
    // The flag clears with the next pass that is not refused.
    f.Choose(1, V::kShortId);
    EXPECT_FALSE(f.host.Warns(V::kInterfaceLabelId));
    EXPECT_EQ(f.Claimed(), (std::set<int>{0, 2, 3}));

    // An entry marked not available: no claims and its own warning.
    CVmonFixture famH({kFamH}, {"SCI_0"});
    famH.Choose(2, V::kShortId); // "SCI_1 (not available)"
    EXPECT_TRUE(famH.claims->names.empty());
    EXPECT_EQ(famH.host.Warning(V::kInterfaceId),
              "The selected communication interface is not available on this processor");
    famH.Choose(1, V::kShortId);
    EXPECT_FALSE(famH.host.Warns(V::kInterfaceId));
    for (int id : {V::kInterfaceId, V::kInterfaceLabelId, V::kLongId, V::kProcessingGroupId})
        EXPECT_TRUE(famH.Control(id).IsVisible()) << id;
    EXPECT_EQ(famH.Control(V::kInterfaceLabelId).Text(), "Communication Interface:");
    EXPECT_EQ(famH.Control(V::kInterfaceId).Text(), "SCI_0");

    // A position past the list is kept, shows no selection and claims nothing.
    CVmonFixture famG({kFamG}, {"SCI_0"});
    famG.vmon->Item(V::kShortItem).dwValue = 1;
    famG.vmon->Item(V::kPollItem).dwValue = 0;
    famG.vmon->Item(V::kInterfaceItem).dwValue = 9;
    famG.vmon->RefreshControls();
    famG.Refresh();
    EXPECT_EQ(famG.Control(V::kInterfaceId).Selection(), -1);
    EXPECT_EQ(famG.vmon->Item(V::kInterfaceItem).dwValue, 9u);
    EXPECT_TRUE(famG.claims->names.empty());
    EXPECT_FALSE(famG.host.Warns(V::kInterfaceId));

    // Rows the owner lacks are skipped without a refusal.
    CVmonFixture shortRows({kFamE}, {"SCI_0=INT:7,8:"});
    shortRows.Choose(1, V::kShortId);
    EXPECT_EQ(shortRows.Claimed(), (std::set<int>{7}));
    EXPECT_FALSE(shortRows.host.Warns(V::kInterfaceLabelId));

    // Without a controller nothing is claimed or refused.
    CVmonFixture none({kFamE}, {"SCI_0"}, false);
    none.Choose(1, V::kShortId);
    EXPECT_FALSE(none.vmon->VectorClaimRefused());
    EXPECT_FALSE(none.host.Warns(V::kInterfaceLabelId));
}

TEST(CpmVMON, ModeAndDebugPortWarnings) {
    CVmonFixture f({kFamA}, {"SCI_0"});
    EXPECT_FALSE(f.host.Warns(V::kLongId)); // polling alone by default
    f.vmon->Item(V::kPollItem).dwValue = 0;
    f.Refresh();
    EXPECT_EQ(f.host.Warning(V::kLongId),
              "Select exactly one of Long Interrupts, Short Interrupts and Polling Mode");
    f.vmon->Item(V::kLongItem).dwValue = 1;
    f.vmon->Item(V::kShortItem).dwValue = 1;
    f.Refresh();
    EXPECT_TRUE(f.host.Warns(V::kLongId));
    f.vmon->Item(V::kShortItem).dwValue = 0;
    f.Refresh();
    EXPECT_FALSE(f.host.Warns(V::kLongId));

    // JTAG from interrupts needs the debug-port interrupts of WINTC.
    const char* eonce =
        "EOnCE Transmit Register Empty and Receive Register Full interrupts must be enabled in "
        "WINTC module.";
    f.Choose(3, V::kLongId);
    EXPECT_EQ(f.host.Warning(V::kProcessingGroupId), eonce);
    f.claims->debugPort = true;
    f.Refresh();
    EXPECT_FALSE(f.host.Warns(V::kProcessingGroupId));
    f.claims->debugPort = false;
    f.Choose(3, V::kPollingId);
    EXPECT_FALSE(f.host.Warns(V::kProcessingGroupId));
    // Elsewhere the debug port is not checked.
    CVmonFixture famE({kFamE}, {"SCI_0"});
    famE.Choose(3, V::kLongId);
    EXPECT_FALSE(famE.host.Warns(V::kProcessingGroupId));
}

TEST(CpmVMON, RecorderControlsAndFarBuffer) {
    CVmonFixture f({kFamH});
    EXPECT_TRUE(f.Control(V::kFarBufferId).IsVisible());
    EXPECT_FALSE(f.Control(V::kRecBufferSizeId).IsEnabled());
    f.vmon->Page()->UserClick(f.Control(V::kRecorderId));
    f.Refresh();
    // Allocated by the driver (bit clear): size and far buffer enabled.
    EXPECT_EQ(f.Control(V::kDriverBufferId).Check(), 1);
    EXPECT_TRUE(f.Control(V::kRecBufferSizeId).IsEnabled());
    EXPECT_TRUE(f.Control(V::kFarBufferId).IsEnabled());
    f.vmon->Page()->UserClick(f.Control(V::kUserBufferId));
    f.Refresh();
    EXPECT_EQ(f.vmon->Item(V::kOwnBufferItem).dwValue, 1u);
    EXPECT_FALSE(f.Control(V::kRecBufferSizeId).IsEnabled());
    EXPECT_TRUE(f.Control(V::kTimebaseId).IsEnabled());
    f.vmon->Page()->UserClick(f.Control(V::kDriverBufferId));
    f.vmon->Page()->UserClick(f.Control(V::kRecorderId));
    f.Refresh();
    EXPECT_FALSE(f.Control(V::kRecBufferSizeId).IsEnabled());
    EXPECT_FALSE(f.Control(V::kFarBufferId).IsEnabled());
    // The time base keeps its unit in the top two bits.
    f.vmon->Page()->UserEdit(f.Control(V::kTimebaseId), "100");
    f.vmon->Page()->UserSelect(f.Control(V::kTimebaseUnitId), 2);
    EXPECT_EQ(f.vmon->Item(V::kTimebaseItem).dwValue, 100u | (2u << 14));

    for (int group : {kFamG, kFamE, kFamA}) {
        CVmonFixture other({group});
        EXPECT_FALSE(other.Control(V::kFarBufferId).IsVisible()) << group;
    }
    CVmonFixture famG({kFamG});
    EXPECT_TRUE(famG.vmon->Item(V::kFarBufferItem).dwFlags & hwc::RegFlag::DUMMYREG);
    CVmonFixture famE({kFamE});
    EXPECT_FALSE(famE.vmon->Item(V::kFarBufferItem).dwFlags & hwc::RegFlag::DUMMYREG);
}

TEST(CpmVMON, SummaryIsTheTitleLineAlone) {
    CVmonFixture f({kFamE});
    EXPECT_TRUE(f.vmon->CommentItems().empty());
    // Buffer sizes take 0 or their range, never a value between.
    f.vmon->Page()->UserEdit(f.Control(V::kBufferSizeId), "5");
    EXPECT_EQ(f.vmon->Item(V::kBufferSizeItem).dwValue, 0u);
    f.vmon->Page()->UserEdit(f.Control(V::kBufferSizeId), "6");
    EXPECT_EQ(f.vmon->Item(V::kBufferSizeItem).dwValue, 6u);
    f.vmon->Page()->UserEdit(f.Control(V::kBufferSizeId), "256");
    EXPECT_EQ(f.vmon->Item(V::kBufferSizeItem).dwValue, 6u);
    f.vmon->Page()->UserEdit(f.Control(V::kBufferSizeId), "0");
    EXPECT_EQ(f.vmon->Item(V::kBufferSizeItem).dwValue, 0u);
    f.vmon->Page()->UserEdit(f.Control(V::kScopeVarsId), "1");
    EXPECT_EQ(f.vmon->Item(V::kScopeVarsItem).dwValue, 8u);
    f.vmon->Page()->UserEdit(f.Control(V::kRecBufferSizeId), "65535");
    EXPECT_EQ(f.vmon->Item(V::kRecBufferSizeItem).dwValue, 65535u);
}
