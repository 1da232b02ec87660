// A register written by name from the command line takes only numbers that fit it: what the
// registers view refuses is refused with its message instead of being cut to the width.

#include "project/RegistersList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/AppFilePath.h"
#include "model/ModuleBase.h"
#include "project/ProjDoc.h"
#include "project/SelfTest.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class RegisterAssignment : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch");
        fs::copy(fs::path(HWC_TEST_SOURCE_DIR "/examples/K7Q2430-digital-psu"), m_project,
                 fs::copy_options::recursive);
        ASSERT_TRUE(m_document.OpenProject(m_project.string()));
        CModuleBase* owner = nullptr;
        m_modulo = m_document.Modules().front()->FindRegister("PIT0_MOD_INIT", &owner);
        ASSERT_NE(m_modulo, nullptr);
    }
    void TearDown() override { SetAppFolder(""); }

    bool Check(const std::string& assignment) {
        m_message.clear();
        return CheckRegisterAssignment(m_document, assignment, m_message);
    }

    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-register-assignment"};
    fs::path m_project = m_root / "psu";
    CProjDoc m_document;
    tPerCfgItem* m_modulo = nullptr;
    std::string m_message;
};

} // namespace

TEST_F(RegisterAssignment, NumbersBeyondTheRegisterWidthAreRefusedWithTheViewsMessage) {
    const std::uint32_t before = m_modulo->dwValue;
    for (const char* beyond : {"0x12345", "-1", "65536", "0x10000", "0x100000000", "12abc"}) {
        EXPECT_FALSE(Check(std::string("PIT0_MOD_INIT=") + beyond)) << beyond;
        EXPECT_EQ(m_message,
                  "PIT0_MOD_INIT: This register value must be a number between 0 and 0xffff")
            << beyond;
    }
    EXPECT_EQ(m_modulo->dwValue, before); // checking writes nothing
    for (const char* fits : {"0xFFFF", "65535", "0", " 0x12 ", "010"})
        EXPECT_TRUE(Check(std::string("PIT0_MOD_INIT=") + fits)) << fits << ": " << m_message;
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(RegisterAssignment, WhatTheWriterReportsPassesTheCheck) {
    // No register, no "=", user definitions and document values: the writer says why.
    for (const char* other : {"NO_SUCH_REG=1", "NO_EQUALS", "=5", "APPCFG_EXTAL=-1"}) {
        EXPECT_TRUE(Check(other)) << other;
        std::string message;
        EXPECT_FALSE(hwc::SetRegisterFromText(m_document, other, message)) << other;
        EXPECT_FALSE(message.empty()) << other;
    }
    // A value that fits is written as before.
    std::string message;
    ASSERT_TRUE(Check("PIT0_MOD_INIT=0x3E7F"));
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT0_MOD_INIT=0x3E7F", message));
    EXPECT_EQ(m_modulo->dwValue, 0x3E7Fu);
}
