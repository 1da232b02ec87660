#include "project/Warning.h"

#include <gtest/gtest.h>

namespace {
// Warnings only compare owners by address.
CModuleBase* const kModuleA = reinterpret_cast<CModuleBase*>(0x10);
CModuleBase* const kModuleB = reinterpret_cast<CModuleBase*>(0x20);
} // namespace

TEST(WarningList, RaisingAgainKeepsThePlaceAndTakesTheNewText) {
    CWarningList list;
    list.Set(kModuleA, 1, true, "first", nullptr);
    list.Set(kModuleB, 1, true, "other", nullptr);
    const CWarning* again = list.Set(kModuleA, 1, true, "second", nullptr);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.Items()[0].get(), again);
    EXPECT_EQ(again->text, "second");
    EXPECT_EQ(list.Items()[1]->owner, kModuleB);
}

TEST(WarningList, ClearingRemovesOnlyThatWarning) {
    CWarningList list;
    list.Set(kModuleA, 1, true, "a1", nullptr);
    list.Set(kModuleA, 2, true, "a2", nullptr);
    EXPECT_EQ(list.Set(kModuleA, 1, false, nullptr, nullptr), nullptr);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.Items()[0]->id, 2);
    // Clearing what does not exist changes nothing.
    EXPECT_EQ(list.Set(kModuleB, 7, false, nullptr, nullptr), nullptr);
    EXPECT_EQ(list.size(), 1u);
}

TEST(WarningList, TextLosesMarkupAndPrefixAndKeepsTheFirstLink) {
    CWarningList list;
    const CWarning* w =
        list.Set(kModuleA, 1, true, "Warning: <b>PLL</b> is not locked", nullptr);
    EXPECT_EQ(w->text, "PLL is not locked");
    EXPECT_EQ(w->linkTarget, "");

    w = list.Set(kModuleA, 2, true,
                 "ERROR:   <A HREF=\"hwc:OCCS/OCCS#1200\">Clock source</A> is off", nullptr);
    EXPECT_EQ(w->text, "Clock source is off");
    EXPECT_EQ(w->linkTarget, "hwc:OCCS/OCCS#1200");

    // The detail is the list text; the link still comes from the message.
    w = list.Set(kModuleA, 3, true, "<A HREF=hwc:SCI_0/SCI>long text</A>", "short");
    EXPECT_EQ(w->text, "short");
    EXPECT_EQ(w->linkTarget, "hwc:SCI_0/SCI");
}

TEST(WarningText, UnclosedTagDropsTheRest) {
    EXPECT_EQ(hwc::StripMarkup("a <b>b</b> c <i"), "a b c ");
    EXPECT_EQ(hwc::FirstLinkTarget("<a href=\"x\">lower-case tags are not links</a>"), "");
    EXPECT_EQ(hwc::FirstLinkTarget("<A NAME=x>"), "");
    EXPECT_EQ(hwc::FirstLinkTarget("<A HREF = \"unterminated"), "unterminated");
}
