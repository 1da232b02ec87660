#include "bindings/KeptChoice.h"

#include <gtest/gtest.h>

#include "BindingFixture.h"
#include "support/ScriptedMessages.h"

using namespace dlg;
using bindtest::MakeItem;

namespace {

const CDialogTemplate kPage(1, {Row({Label("Size:"), DropList(10, {"Long", "Byte", "Word"})})});

} // namespace

// A reserved code stays as loaded, through validation and apply, until the user picks an entry;
// a plain list would write all ones over it.
TEST(KeptChoice, KeepsACodeTheListLacksUntilTheUserChooses) {
    bindtest::CPageFixture fixture{kPage};
    CPageControl& list = fixture.Control(10);
    CScriptedMessages messages;
    tPerCfgItem item = MakeItem("DCR0", 0, hwc::RegFlag::DW32);
    item.dwValue = 0x00300001; // size field bits 20..21 hold the reserved code 3
    hwc::CKeptChoice size;
    size.Bind(item, 20, 21, 0, "Source size");
    size.Attach(list);

    EXPECT_EQ(list.Selection(), -1);
    EXPECT_TRUE(size.ValidateControl(true));
    EXPECT_TRUE(messages.shown.empty());
    size.Apply();
    EXPECT_EQ(item.dwValue, 0x00300001u);

    fixture.page.UserSelect(list, 2);
    EXPECT_EQ(item.dwValue, 0x00200001u);
    fixture.page.UserSelect(list, 0);
    EXPECT_EQ(item.dwValue, 0x00000001u);
    // No selection of a listed code is no kept value.
    list.SetSelection(-1);
    EXPECT_FALSE(size.ValidateControl(false));
}
