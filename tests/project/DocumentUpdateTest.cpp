#include <gtest/gtest.h>

#include <vector>

#include "project/ProjDoc.h"

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
