#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "base/AppFilePath.h"
#include "base/IdleWake.h"
#include "model/ModuleBase.h"
#include "modules/framework/CModule.h"
#include "project/ProjDoc.h"
#include "support/TestFolder.h"

namespace {

struct tUpdate {
    int hint;
    CModuleBase* sender;
    const void* object;
};

struct CRecorder : hwc::IDocumentObserver {
    std::vector<tUpdate> updates;
    void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) override {
        updates.push_back({hint, sender, object});
    }
};

} // namespace

TEST(DocumentUpdate, WarningChangesReachTheViewsWithTheWarning) {
    CProjDoc document;
    CRecorder views;
    document.AddObserver(&views);
    auto* owner = reinterpret_cast<CModuleBase*>(0x40);

    document.SetWarning(owner, 1917, true, "Warning: <b>clock</b> off", nullptr);
    ASSERT_EQ(views.updates.size(), 1u);
    EXPECT_EQ(views.updates[0].hint, hwc::kHintWarningChanged);
    EXPECT_EQ(views.updates[0].object, document.Warnings().Items()[0].get());
    EXPECT_EQ(document.Warnings().Items()[0]->text, "clock off");

    // Clearing one that does not exist still tells the views, with no warning.
    document.SetWarning(owner, 1, false, nullptr, nullptr);
    ASSERT_EQ(views.updates.size(), 2u);
    EXPECT_EQ(views.updates[1].object, nullptr);

    // Bindings reach the views through the module host.
    int binding = 0;
    static_cast<IModuleHost&>(document).UpdateAllViews(owner, 12, &binding);
    ASSERT_EQ(views.updates.size(), 3u);
    EXPECT_EQ(views.updates[2].hint, 12);
    EXPECT_EQ(views.updates[2].sender, owner);
    EXPECT_EQ(views.updates[2].object, &binding);

    document.RemoveObserver(&views);
    document.SetWarning(owner, 1917, false, nullptr, nullptr);
    EXPECT_EQ(views.updates.size(), 3u);
    EXPECT_TRUE(document.Warnings().empty());
}

namespace {

// A clock module that counts its warnings passes.
class CpmCountingClock : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmCountingClock, CModuleBase)
public:
    CpmCountingClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModuleBase(parent, 0, descriptor, nullptr, 0) {}
    void CheckWarnings() override { ++passes; }
    int passes = 0;
};

class CCountingDoc : public CProjDoc {
protected:
    const CRuntimeClass* ModuleClassFor(std::string_view typeKey) const override {
        return typeKey == "OCCS" ? &CpmCountingClock::kRuntimeClass
                                 : CProjDoc::ModuleClassFor(typeKey);
    }
};

} // namespace

// Several changes in a row cause one warnings pass, on the next idle pass.
TEST(DocumentUpdate, ChangesInARowCauseOneWarningsPassWhenIdle) {
    struct CWaker : hwc::IIdleWaker {
        int wakes = 0;
        void WakeIdle() override { ++wakes; }
    } waker;
    hwc::IIdleWaker* previous = hwc::SetIdleWaker(&waker);
    CTestFolder folder("hwc-update");
    SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch");
    std::ofstream(folder / "appconfig.h", std::ios::binary) << "#define K7Q3010\n";

    CCountingDoc document;
    ASSERT_TRUE(document.OpenProject((folder / "appconfig.h").string()));
    auto* clock = dynamic_cast<CpmCountingClock*>(document.FindModule("OCCS"));
    ASSERT_NE(clock, nullptr);
    document.IdleUpdate(); // the pass the open asked for
    EXPECT_EQ(clock->passes, 1);
    waker.wakes = 0;

    IModuleHost& host = document;
    host.UpdateAllViews(clock, 12, nullptr);
    host.UpdateAllViews(clock, 10, nullptr);
    host.UpdateAllViews(clock, 21, clock);
    host.UpdateAllViews(clock, 24, nullptr); // a changed warning asks for no pass
    EXPECT_EQ(waker.wakes, 3);
    EXPECT_EQ(clock->passes, 1);
    document.IdleUpdate();
    EXPECT_EQ(clock->passes, 2);
    document.IdleUpdate();
    EXPECT_EQ(clock->passes, 2);

    SetAppFolder("");
    hwc::SetIdleWaker(previous);
}

// Peripheral modules ask the document which processor groups the project's processor is in.
TEST(DocumentUpdate, ModulesSeeTheProcessorGroupsOfTheProject) {
    CTestFolder folder("hwc-groups");
    SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch");
    std::ofstream(folder / "appconfig.h", std::ios::binary) << "#define K7Q0810\n";
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject((folder / "appconfig.h").string()));
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(
        static_cast<const IModuleHost*>(&document));
    ASSERT_NE(groups, nullptr);
    EXPECT_TRUE(groups->IsProcessorGroup(hwc::ProcessorFamily::FamA));
    EXPECT_FALSE(groups->IsProcessorGroup(hwc::ProcessorFamily::FamE));
    SetAppFolder("");
}
