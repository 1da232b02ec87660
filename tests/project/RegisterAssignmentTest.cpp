// A register written by name from the command line takes a number wider than the register cut to
// the register's width, as a plug-in's write does, and the user is told what is written.

#include "project/RegistersList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/ModuleBase.h"
#include "project/ProjDoc.h"
#include "project/SelfTest.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class RegisterAssignment : public ::testing::Test {
protected:
    CScopedArchitectureFiles m_architecture;
    void SetUp() override {
        CopyExample("K7Q2430-digital-psu", m_project);
        ASSERT_TRUE(m_document.OpenProject(m_project.string()));
        CModuleBase* owner = nullptr;
        m_modulo = m_document.Modules().front()->FindRegister("PIT0_MOD_INIT", &owner);
        ASSERT_NE(m_modulo, nullptr);
    }

    std::string Note(const std::string& assignment) {
        return RegisterAssignmentNote(m_document, assignment);
    }

    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-register-assignment"};
    fs::path m_project = m_root / "psu";
    CProjDoc m_document;
    tPerCfgItem* m_modulo = nullptr;
};

} // namespace

TEST_F(RegisterAssignment, NumbersBeyondTheRegisterWidthAreCutAndNamed) {
    const std::uint32_t before = m_modulo->dwValue;
    EXPECT_EQ(Note("PIT0_MOD_INIT=0x12345"),
              "PIT0_MOD_INIT: 0x12345 does not fit the register's 16 bits; 0x2345 is written.");
    EXPECT_EQ(Note("PIT0_MOD_INIT= 65536 "),
              "PIT0_MOD_INIT: 65536 does not fit the register's 16 bits; 0x0 is written.");
    EXPECT_EQ(Note("PIT0_MOD_INIT=-1"),
              "PIT0_MOD_INIT: -1 does not fit the register's 16 bits; 0xFFFF is written.");
    EXPECT_EQ(m_modulo->dwValue, before); // the note writes nothing
    std::string message;
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT0_MOD_INIT=0x12345", message)) << message;
    EXPECT_EQ(m_modulo->dwValue, 0x2345u);
    for (const char* fits : {"0xFFFF", "65535", "0", " 0x12 ", "010"})
        EXPECT_EQ(Note(std::string("PIT0_MOD_INIT=") + fits), "") << fits;
    // What is no 32-bit number is the writer's to refuse.
    for (const char* other : {"0x100000000", "12abc"}) {
        EXPECT_EQ(Note(std::string("PIT0_MOD_INIT=") + other), "") << other;
        EXPECT_FALSE(hwc::SetRegisterFromText(m_document, std::string("PIT0_MOD_INIT=") + other,
                                              message))
            << other;
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(RegisterAssignment, WhatTheWriterReportsGetsNoNote) {
    // No register, no "=", user definitions and document values: the writer says why.
    for (const char* other : {"NO_SUCH_REG=1", "NO_EQUALS", "=5", "APPCFG_EXTAL=-1"}) {
        EXPECT_EQ(Note(other), "") << other;
        std::string message;
        EXPECT_FALSE(hwc::SetRegisterFromText(m_document, other, message)) << other;
        EXPECT_FALSE(message.empty()) << other;
    }
    // A value that fits is written as before.
    std::string message;
    ASSERT_EQ(Note("PIT0_MOD_INIT=0x3E7F"), "");
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT0_MOD_INIT=0x3E7F", message));
    EXPECT_EQ(m_modulo->dwValue, 0x3E7Fu);
}
