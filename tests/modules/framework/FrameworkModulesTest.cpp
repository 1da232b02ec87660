#include <gtest/gtest.h>

#include <string>

#include "model/ModelTestSupport.h"
#include "modules/framework/CpmEMPTY.h"
#include "modules/framework/CpmPLUGINS.h"
#include "modules/timers/CpmQTALL.h"
#include "modules/framework/CpmVOID.h"

namespace {

// A node module loaded from a header with definitions: it takes none and writes nothing.
void ExpectWritesNothing(CModuleBase& module, CAppcfgFile& header) {
    EXPECT_EQ(module.ItemCount(), 0);
    EXPECT_FALSE(module.LoadFromHeader(&header));
    EXPECT_FALSE(header.GetEntry("NODE_CTRL_INIT")->IsClaimed());
    module.SetSelected(true);
    EXPECT_FALSE(module.IsSelected());
    EXPECT_FALSE(module.IsModified());
    std::string text = "summary";
    EXPECT_TRUE(module.WriteHeaderText(text));
    EXPECT_EQ(text, "");
}

} // namespace

TEST(FrameworkModules, NodesHaveTheirTemplatesAndNoRegisters) {
    CFakeHost host;
    CAppcfgFile header;
    Define(header, "NODE_CTRL_INIT", "1");
    const CModuleDescriptor node("NODE", "EMPTY");

    auto& empty = host.Add<CpmEMPTY>(nullptr, &node);
    EXPECT_EQ(empty.TemplateId(), 173u);
    EXPECT_STREQ(CpmEMPTY::kPageText, "See submodules of this module.");
    ExpectWritesNothing(empty, header);

    auto& timers = host.Add<CpmQTALL>(&empty, &node);
    EXPECT_EQ(timers.TemplateId(), 2033u);
    EXPECT_EQ(timers.Parent(), &empty);
    EXPECT_STREQ(CpmQTALL::kPageText, "See submodules of this module.");
    ExpectWritesNothing(timers, header);

    auto& folder = host.Add<CpmVOID>(nullptr, &node);
    EXPECT_EQ(folder.TemplateId(), 0u);
    ExpectWritesNothing(folder, header);

    auto& plugins = host.Add<CpmPLUGINS>(nullptr, nullptr);
    EXPECT_EQ(plugins.TemplateId(), 0u);
    EXPECT_EQ(plugins.InstanceName(), "");
    ExpectWritesNothing(plugins, header);
}

// Group nodes show one line of text; folder nodes have no page at all.
TEST(FrameworkModules, GroupNodePagesPointToTheirSubmodules) {
    CFakeHost host;
    const CModuleDescriptor node = MakeDescriptor("QT_A", "QTALL");
    auto& timers = host.Add<CpmQTALL>(nullptr, &node);
    ASSERT_TRUE(timers.CreatePage());
    ASSERT_EQ(timers.Page()->Controls().size(), 1u);
    EXPECT_EQ(timers.Page()->Controls()[0]->Text(), "See submodules of this module.");

    const CModuleDescriptor folder = MakeDescriptor("Clocks", "VOID");
    auto& clocks = host.Add<CpmVOID>(nullptr, &folder);
    EXPECT_FALSE(clocks.CreatePage());
}
