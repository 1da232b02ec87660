#pragma once
// Tests on the largest example project, opened headless from a copy in the test's own folder,
// with every message answered by script.

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

#include "model/ModuleBase.h"
#include "project/ProjDoc.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

class CInverterProjectTest : public ::testing::Test {
protected:
    // `folder` names the test's folder; each fixture has its own.
    explicit CInverterProjectTest(std::string_view folder) : m_folder(folder) {}

    // Copies the example and opens it; a fixture that first adds files copies and opens itself.
    void SetUp() override {
        CopyProject();
        Open();
    }
    void CopyProject() { CopyExample("K7Q5110-inverter", m_project); }
    void Open() { ASSERT_TRUE(m_document.OpenProject(m_project.string())); }

    CModuleBase& Module(const char* name) {
        CModuleBase* module = m_document.FindModule(name);
        EXPECT_NE(module, nullptr) << name;
        return *module;
    }

    CScopedArchitectureFiles m_architecture;
    CScriptedMessages m_messages;
    CTestFolder m_folder;
    std::filesystem::path m_project = m_folder / "inverter";
    CProjDoc m_document;
};
