#include "project/ModuleRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "model/ModuleBase.h"
#include "modules/framework/CpmEMPTY.h"
#include "modules/framework/CpmPLUGINS.h"
#include "modules/timers/CpmQTALL.h"
#include "modules/framework/CpmUNREC.h"
#include "modules/framework/CpmVOID.h"

TEST(ModuleRegistry, KeysAreUniqueAndNameTheirClasses) {
    const auto& types = ModuleTypes();
    EXPECT_STREQ(types.front().typeKey, "PINOUT");
    EXPECT_STREQ(types[55].typeKey, "FLASHOPT");
    EXPECT_STREQ(types[56].typeKey, "VOID");
    EXPECT_STREQ(types[57].typeKey, "PLUGINS");

    std::set<std::string> keys;
    for (const tModuleType& type : types) {
        EXPECT_TRUE(keys.insert(type.typeKey).second) << type.typeKey;
        if (type.runtimeClass) {
            EXPECT_EQ(std::string("Cpm") + type.typeKey, type.runtimeClass->name);
        }
    }
}

TEST(ModuleRegistry, LookupIsExactAndCaseSensitive) {
    EXPECT_EQ(FindModuleClass("UNREC"), &CpmUNREC::kRuntimeClass);
    EXPECT_EQ(FindModuleClass("EMPTY"), &CpmEMPTY::kRuntimeClass);
    EXPECT_EQ(FindModuleClass("QTALL"), &CpmQTALL::kRuntimeClass);
    EXPECT_EQ(FindModuleClass("VOID"), &CpmVOID::kRuntimeClass);
    EXPECT_EQ(FindModuleClass("PLUGINS"), &CpmPLUGINS::kRuntimeClass);

    EXPECT_EQ(FindModuleClass("unrec"), nullptr);
    EXPECT_EQ(FindModuleClass("QTAL"), nullptr);
    EXPECT_EQ(FindModuleClass("UNREC "), nullptr);
    EXPECT_EQ(FindModuleClass(""), nullptr);
    EXPECT_EQ(FindModuleClass(std::string_view("VOID\0X", 6)), nullptr);
    EXPECT_EQ(CreateModuleOfType("empty", nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateModuleOfType("NOSUCHKEY", nullptr, nullptr), nullptr);
}

TEST(ModuleRegistry, CreatesTheKeysClassWithParentAndDescriptor) {
    const CModuleDescriptor folder("Drivers", "VOID");
    std::unique_ptr<CModuleBase> parent(CreateModuleOfType("VOID", nullptr, &folder));
    ASSERT_NE(parent, nullptr);
    EXPECT_TRUE(parent->IsKindOf(CpmVOID::kRuntimeClass));
    EXPECT_EQ(parent->InstanceName(), "Drivers");

    const CModuleDescriptor timers("QT_ALL", "QTALL");
    std::unique_ptr<CModuleBase> group(CreateModuleOfType("QTALL", parent.get(), &timers));
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->IsKindOf(CpmQTALL::kRuntimeClass));
    EXPECT_EQ(group->Parent(), parent.get());
    EXPECT_EQ(group->TypeKey(), "QTALL");
    EXPECT_EQ(group->TemplateId(), 2033u);

    // The user-definitions module names itself when no descriptor is given.
    std::unique_ptr<CModuleBase> unrec(CreateModuleOfType("UNREC", nullptr, nullptr));
    ASSERT_NE(unrec, nullptr);
    EXPECT_EQ(unrec->InstanceName(), "UNREC");
    EXPECT_EQ(unrec->TypeKey(), "UNREC");
}
