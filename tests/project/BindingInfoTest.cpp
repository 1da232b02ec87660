// What a setting control stands for, on the interval timer of a real project: description,
// register and bits, range; and which settings own which bits of a register.

#include "bindings/BindingInfo.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "InverterProject.h"
#include "bindings/SetCtrl.h"
#include "modules/timers/CpmPIT.h"

namespace {

class BindingInfo : public CInverterProjectTest {
protected:
    BindingInfo() : CInverterProjectTest("hwc-binding-info") {}
    void SetUp() override {
        CInverterProjectTest::SetUp();
        m_timer = m_document.FindModule("PIT0");
        ASSERT_TRUE(m_timer && m_timer->Page());
    }

    const CSetCtrl& Binding(int id) const {
        const CPageControl* control = m_timer->Page()->FindControl(id);
        EXPECT_NE(control, nullptr) << id;
        const auto* binding = dynamic_cast<const CSetCtrl*>(control->Handler());
        EXPECT_NE(binding, nullptr) << id;
        return *binding;
    }

    CModuleBase* m_timer = nullptr;
};

} // namespace

TEST(BitRangeText, NamesSingleBitsRangesAndGaps) {
    EXPECT_EQ(hwc::BitRangeText(0), "");
    EXPECT_EQ(hwc::BitRangeText(1), "bit 0");
    EXPECT_EQ(hwc::BitRangeText(0x80000000u), "bit 31");
    EXPECT_EQ(hwc::BitRangeText(0x78), "bits 3..6");
    EXPECT_EQ(hwc::BitRangeText(0xFFFFFFFFu), "bits 0..31");
    EXPECT_EQ(hwc::BitRangeText(0xC0000000u), "bits 30..31");
    EXPECT_EQ(hwc::BitRangeText(0x92), "bits 1, 4, 7");
}

TEST_F(BindingInfo, ControlsNameTheirRegisterBitsAndRange) {
    EXPECT_EQ(hwc::BindingRegisterText(Binding(CpmPIT::kCounterEnableId), *m_timer),
              "PIT0_CTRL_INIT bit 0");
    EXPECT_EQ(hwc::BindingRegisterText(Binding(CpmPIT::kClockSourceId), *m_timer),
              "PIT0_CTRL_INIT bits 8..9");
    // A field over the whole register names the register alone.
    EXPECT_EQ(hwc::BindingRegisterText(Binding(CpmPIT::kModuloId), *m_timer), "PIT0_MOD_INIT");

    const std::string tip = hwc::BindingToolTip(Binding(CpmPIT::kModuloId), *m_timer);
    EXPECT_NE(tip.find("PIT0_MOD_INIT"), std::string::npos) << tip;
    EXPECT_NE(tip.find("Range: "), std::string::npos) << tip;
    const std::string choice = hwc::BindingToolTip(Binding(CpmPIT::kClockSourceId), *m_timer);
    EXPECT_EQ(choice.find("Range"), std::string::npos) << choice;
    EXPECT_NE(choice.find("\nPIT0_CTRL_INIT bits 8..9"), std::string::npos) << choice;

    // Measured against another module, the register is not found.
    CModuleBase* other = m_document.FindModule("PIT1");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(hwc::BindingRegister(Binding(CpmPIT::kModuloId), *other), nullptr);
    EXPECT_EQ(hwc::BindingRegisterText(Binding(CpmPIT::kModuloId), *other), "");
}

TEST_F(BindingInfo, RegisterFieldsListTheirOwningSettingsByBit) {
    const tPerCfgItem* control = m_timer->FindRegister("PIT0_CTRL_INIT");
    ASSERT_NE(control, nullptr);
    const auto fields = hwc::RegisterFields(*m_timer, *control);
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(fields.front().mask, 1u);
    bool source = false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_FALSE(fields[i].setting.empty());
        source = source || fields[i].mask == 0x300;
        if (i > 0) {
            EXPECT_LE(std::countr_zero(fields[i - 1].mask), std::countr_zero(fields[i].mask));
        }
    }
    EXPECT_TRUE(source);
    // A register no setting owns has no fields.
    const tPerCfgItem* modulo = m_timer->FindRegister("PIT0_MOD_INIT");
    ASSERT_NE(modulo, nullptr);
    EXPECT_EQ(hwc::RegisterFields(*m_document.FindModule("PIT1"), *modulo).size(), 0u);
}
