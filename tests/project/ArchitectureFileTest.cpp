#include "project/ArchitectureFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>

#include "model/ModuleBase.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

// Creates plain modules for the known type keys and keeps them in creation order.
class CArchFactory final : public IModuleFactory {
public:
    CModuleBase* CreateModule(const CModuleDescriptor* descriptor, CModuleBase* parent) override {
        if (unknownTypes.count(descriptor->TypeKey()))
            return nullptr;
        modules.push_back(std::make_unique<CModuleBase>(parent, 0, descriptor, nullptr, 0));
        return modules.back().get();
    }
    CModuleBase* FindModule(std::string_view instanceName) override {
        for (const auto& module : modules) {
            if (module->InstanceName() == instanceName)
                return module.get();
        }
        return nullptr;
    }

    std::set<std::string, std::less<>> unknownTypes{"BOGUS"};
    std::vector<std::unique_ptr<CModuleBase>> modules;
};

// One line per item: indentation by depth, the text, "+" when expanded.
std::string Dump(const CModuleTree& tree) {
    std::string out;
    tree.ForEachItem([&](CModuleTreeItem& item) {
        for (const CModuleTreeItem* up = item.Parent(); up; up = up->Parent())
            out += "  ";
        out += item.Text() + (item.IsExpanded() ? "+" : "") + "\n";
    });
    return out;
}

class ArchitectureFileTest : public ::testing::Test {
protected:
    bool Load(const std::string& bytes) {
        const std::string path = (m_dir / "P.cfg").string();
        std::ofstream(path, std::ios::binary) << bytes;
        return LoadArchitecture(path, "P", tree, factory);
    }
    CModuleBase* Module(std::string_view name) { return factory.FindModule(name); }

    static std::string DataFile(const char* name) {
        return (fs::path(HWC_TEST_SOURCE_DIR) / "tests/data/arch" / name).string();
    }

    CTestFolder m_dir{"hwc_arch"};
    CScriptedMessages messages;
    CArchFactory factory;
    CModuleTree tree;
};

} // namespace

TEST_F(ArchitectureFileTest, ReadsNestedGroupsFieldsAndModuleInfo) {
    ASSERT_TRUE(LoadArchitecture(DataFile("K7Q400R_TEST.cfg"), "K7Q400R_TEST", tree, factory));
    EXPECT_EQ(Dump(tree), "System - Clocks, power and reset+\n"
                          "  Clock Synthesis - On-chip clock synthesis\n"
                          "  COP - Watchdog\n"
                          "ANALOG+\n"
                          "  ADC_A - Cyclic converter A\n" // groups at depth 2 stay closed
                          "    ADC_A_SEQ - Sample sequence\n"
                          "  PWM A - Pulse width modulator\n");
    EXPECT_TRUE(messages.shown.empty());

    const CModuleDescriptor& occs = Module("OCCS")->Descriptor();
    EXPECT_EQ(occs.InterruptList(), "0:1,2:");
    EXPECT_EQ(occs.HelpReference(), "manual.pdf#occs");
    EXPECT_EQ(Module("PWM_A")->Descriptor().HelpReference(), "pwm manual.pdf#pwma");
    EXPECT_EQ(Module("COP")->Descriptor().RelatedModule(), "OCCS");
    EXPECT_EQ(Module("COP")->Descriptor().Description(), "Watchdog");
    EXPECT_EQ(Module("ADC_A_SEQ")->Parent(), Module("ADC_A"));
    EXPECT_EQ(Module("ADC_A")->Parent(), Module("ANALOG"));
    EXPECT_EQ(Module("SYSTEM")->Parent(), nullptr);

    std::uint32_t value = 0;
    EXPECT_TRUE(Module("OCCS")->GetModuleInfoNumber("DIVBY_RESET", value));
    EXPECT_EQ(value, 0x2000u);
    EXPECT_TRUE(Module("ADC_A")->GetModuleInfoNumber("ADCR2_RESET", value));
    EXPECT_EQ(value, 3u); // the later line wins
    EXPECT_EQ(Module("ADC_A")->Descriptor().ModuleInfo().size(), 2u);
    EXPECT_TRUE(Module("COP")->Descriptor().ModuleInfo().empty());
}

TEST_F(ArchitectureFileTest, SmallFilesAndDisplayNameForms) {
    EXPECT_TRUE(Load("# only comments\n.BEGIN_TREE_LIST\n/* none */\n.END_TREE_LIST\n"));
    EXPECT_TRUE(tree.IsEmpty());

    // A group right after the section start holds top-level entries; CRLF line ends work.
    ASSERT_TRUE(Load(".BEGIN_TREE_LIST\r\n{\r\nOCCS OCCS NONE 0\r\nADC_A ADC OCCS 0 Converter\r\n"
                     "}\r\nP1 X NONE 0 \"!PWM A!Pulse width modulator\"\nP2 X NONE 0 !one\n"
                     "P3 X NONE 0 \"!!no name\"\nP4 X NONE 0 !a!b!c\n"));
    EXPECT_EQ(Dump(tree), "OCCS\nADC_A - Converter\nPWM A - Pulse width modulator\n"
                          "P2 - !one\nP3 - no name\na - b\n");
    EXPECT_EQ(Module("ADC_A")->Descriptor().RelatedModule(), "OCCS");
    EXPECT_EQ(Module("ADC_A")->Parent(), nullptr);
}

TEST_F(ArchitectureFileTest, UnknownTypeKeyPassesItsChildrenToThePreviousEntry) {
    ASSERT_TRUE(Load("G GROUP NONE 0\n{\n A X NONE 0\n B BOGUS NONE 0\n {\n  C X NONE 0\n }\n"
                     " D BOGUS NONE 0\n}\nE BOGUS NONE 0\n{\n F X NONE 0\n}\n"));
    // C goes below A, the entry before the dropped B; F goes to G, the entry before E.
    EXPECT_EQ(Dump(tree), "G+\n  A\n    C\n  F\n");
    EXPECT_EQ(Module("C")->Parent(), Module("A"));
    EXPECT_EQ(Module("B"), nullptr);
}

TEST_F(ArchitectureFileTest, ShortEntries) {
    // At the top level the load fails without a message, also at the end of the file.
    EXPECT_FALSE(Load("A X NONE 0\nB X NONE\nC X NONE 0\n"));
    EXPECT_FALSE(Load("A X NONE 0\nB X"));
    EXPECT_TRUE(messages.shown.empty());

    // Inside braces only that group ends; the levels around it go on.
    ASSERT_TRUE(Load("A X NONE 0\n{\n B X NONE 0\n C X\n D X NONE 0\n { E X NONE 0 }\n}\n"
                     "F X NONE 0\n.END_TREE_LIST\n.BEGIN_MODULE_INFO\nF { K = 1 }\n"));
    EXPECT_EQ(Dump(tree), "A+\n  B\nF\n");
    EXPECT_EQ(Module("F")->Descriptor().ModuleInfo().at("K"), "1");
}

TEST_F(ArchitectureFileTest, ModuleInfoOddities) {
    ASSERT_TRUE(Load("A X NONE 0\nB X NONE 0\nA Y NONE 0\n"
                     ".END_TREE_LIST\n A { ignored = before the section }\n"
                     ".BEGIN_MODULE_INFO\n"
                     "NOPE { A = 1 }\n"  // unknown instance: its block is skipped, not looked up
                     "{B}\n"             // a block that names a module is not taken as a name
                     "A { K = first }\n" // the first of two modules named A
                     "B { K = open to the end"));
    ASSERT_EQ(factory.modules.size(), 3u);
    EXPECT_EQ(factory.modules[0]->Descriptor().ModuleInfo().at("K"), "first");
    EXPECT_TRUE(factory.modules[2]->Descriptor().ModuleInfo().empty());
    EXPECT_EQ(Module("B")->Descriptor().ModuleInfoText(), " K = open to the end");
}

TEST_F(ArchitectureFileTest, AStrayQuoteEndsAtItsLineEnd) {
    ASSERT_TRUE(Load("A X NONE 0 Bob's \"board\nB X NONE 0 \"C:\\help\\\" 'x'\nC X NONE 0\n"));
    EXPECT_EQ(Dump(tree), "A - Bob\nB - C:\\help\\\nC\n");
    EXPECT_EQ(Module("A")->Descriptor().HelpReference(), "s \"board");
    EXPECT_EQ(Module("B")->Descriptor().HelpReference(), "x");
}

TEST_F(ArchitectureFileTest, MissingFileOrProcessor) {
    EXPECT_FALSE(LoadArchitecture((m_dir / "K7.cfg").string(), "K7", tree, factory));
    EXPECT_FALSE(LoadArchitecture((m_dir / ".cfg").string(), "", tree, factory));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "Architecture configuration file 'K7.cfg' not found\n");
    EXPECT_EQ(messages.shown[1].text, "Processor unknown or not defined in project header file.\n");
}

TEST_F(ArchitectureFileTest, HostileInputNeverCrashes) {
    // Nesting far deeper than the limit, in groups of entries and in bare braces.
    std::string deep, bare(200000, '{');
    for (int i = 0; i < 5000; ++i)
        deep += "M" + std::to_string(i) + " X NONE 0\n{\n";
    EXPECT_TRUE(Load(deep));
    int depth = 0;
    tree.ForEachItem([&](CModuleTreeItem& item) {
        int d = 0;
        for (const CModuleTreeItem* up = item.Parent(); up; up = up->Parent())
            ++d;
        depth = std::max(depth, d);
    });
    EXPECT_EQ(depth, hwc::kMaxArchitectureNesting);
    for (std::size_t i = 1; i < bare.size(); i += 2)
        bare[i] = ' ';
    EXPECT_TRUE(Load(bare + "A X NONE 0"));

    std::mt19937 random(7);
    const char* pieces[] = {"{",   "}", "A",  "X",  "NONE", "0",  "\n", " ", "\"",
                            "'",   "#", "//", "/*", "*/",   "\0", "\r", "!", ".BEGIN_MODULE_INFO",
                            "\xff"};
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        for (int i = 0; i < 200; ++i) {
            const auto which = random() % 21;
            if (which >= 19)
                bytes += static_cast<char>(random());
            else
                bytes += pieces[which][0] ? std::string(pieces[which]) : std::string(1, '\0');
        }
        Load(bytes);
    }
}

TEST_F(ArchitectureFileTest, MoreEntriesThanAnyProcessorHasAreRefused) {
    const auto entries = [](int count, const char* prefix) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += std::string(prefix) + std::to_string(i) + " T NONE 0\n";
        return text;
    };
    const int limit = hwc::kMaxArchitectureEntries;
    ASSERT_TRUE(Load(".BEGIN_TREE_LIST\n" + entries(limit, "M") + ".END_TREE_LIST\n"));
    EXPECT_EQ(factory.modules.size(), static_cast<std::size_t>(limit));
    EXPECT_TRUE(messages.shown.empty());

    // One more, even inside a group, fails the load with one message.
    factory.modules.clear();
    EXPECT_FALSE(Load(".BEGIN_TREE_LIST\n" + entries(1, "TOP") + "{\n" + entries(limit, "M") +
                      "}\nLAST T NONE 0\n.END_TREE_LIST\n"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The architecture configuration file lists more than 2000 modules; no processor "
              "has that many.");
    EXPECT_EQ(factory.modules.size(), static_cast<std::size_t>(limit));
    EXPECT_EQ(Module("LAST"), nullptr);
}
