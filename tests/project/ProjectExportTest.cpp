// The JSON export of an open project: it parses for every example, names every module once in
// tree order, says what each register, setting, derived value and warning holds, keeps user text
// with odd bytes readable, changes nothing in the project and gives the same bytes every time.

#include "project/ProjectExport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "project/ProjDoc.h"
#include "project/SelfTest.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

// A parsed JSON value: just enough of one for the tests to look into the export.
struct tJson {
    enum class EKind { Null, Bool, Number, String, Array, Object };
    EKind kind = EKind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;                                   // a string, or a number as written
    std::vector<tJson> items;                           // an array
    std::vector<std::pair<std::string, tJson>> members; // an object, in order

    const tJson& operator[](std::string_view key) const {
        for (const auto& [name, value] : members) {
            if (name == key)
                return value;
        }
        static const tJson missing;
        ADD_FAILURE() << "no member " << key;
        return missing;
    }
    bool Has(std::string_view key) const {
        for (const auto& member : members) {
            if (member.first == key)
                return true;
        }
        return false;
    }
};

// A strict reader of the JSON grammar: no raw control characters in strings, only the escapes
// JSON knows, nothing after the value but white space. Bytes of strings are taken as they are
// (the writer's UTF-8 is checked separately); \u escapes below 0x100 become that byte, others
// their UTF-8 form.
class CJsonReader {
public:
    explicit CJsonReader(std::string_view text) : m_text(text) {}

    std::optional<tJson> Read() {
        tJson value;
        if (!Value(value))
            return std::nullopt;
        SkipSpace();
        if (m_pos != m_text.size())
            return std::nullopt;
        return value;
    }
    std::size_t ErrorPosition() const { return m_pos; }

private:
    void SkipSpace() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\t' || m_text[m_pos] == '\r'))
            ++m_pos;
    }
    bool Take(char c) {
        SkipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }

    bool Value(tJson& value) {
        SkipSpace();
        if (m_pos >= m_text.size())
            return false;
        const char c = m_text[m_pos];
        if (c == '{')
            return Object(value);
        if (c == '[')
            return Array(value);
        if (c == '"') {
            value.kind = tJson::EKind::String;
            return String(value.text);
        }
        if (Word("null"))
            return true;
        if (Word("true") || Word("false")) {
            value.kind = tJson::EKind::Bool;
            value.boolean = m_text[m_pos - 1] == 'e' && m_text[m_pos - 2] == 'u';
            return true;
        }
        return Number(value);
    }

    bool Number(tJson& value) {
        const std::size_t start = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '-')
            ++m_pos;
        const std::size_t digits = m_pos;
        while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        if (m_pos == digits || (m_text[digits] == '0' && m_pos - digits > 1))
            return false;
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            const std::size_t fraction = ++m_pos;
            while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
            if (m_pos == fraction)
                return false;
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-'))
                ++m_pos;
            const std::size_t exponent = m_pos;
            while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
            if (m_pos == exponent)
                return false;
        }
        value.kind = tJson::EKind::Number;
        value.text = std::string(m_text.substr(start, m_pos - start));
        value.number = std::stod(value.text);
        return true;
    }

    bool String(std::string& out) {
        ++m_pos; // the opening quote
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (m_pos >= m_text.size())
                return false;
            const char escape = m_text[m_pos++];
            const std::string_view simple = "\"\\/bfnrt";
            const std::string_view meaning = "\"\\/\b\f\n\r\t";
            if (const std::size_t at = simple.find(escape); at != std::string_view::npos) {
                out += meaning[at];
                continue;
            }
            if (escape != 'u' || m_pos + 4 > m_text.size())
                return false;
            unsigned code = 0;
            for (int i = 0; i < 4; ++i) {
                const int digit = hwc::HexDigitValue(m_text[m_pos++]);
                if (digit < 0)
                    return false;
                code = code * 16 + static_cast<unsigned>(digit);
            }
            if (code < 0x100) {
                out += static_cast<char>(code);
            } else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
        }
        return false;
    }

    bool Array(tJson& value) {
        value.kind = tJson::EKind::Array;
        ++m_pos;
        if (Take(']'))
            return true;
        do {
            value.items.emplace_back();
            if (!Value(value.items.back()))
                return false;
        } while (Take(','));
        return Take(']');
    }

    bool Object(tJson& value) {
        value.kind = tJson::EKind::Object;
        ++m_pos;
        if (Take('}'))
            return true;
        do {
            SkipSpace();
            std::string key;
            if (m_pos >= m_text.size() || m_text[m_pos] != '"' || !String(key) || !Take(':'))
                return false;
            value.members.emplace_back(std::move(key), tJson());
            if (!Value(value.members.back().second))
                return false;
        } while (Take(','));
        return Take('}');
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

tJson Parse(const std::string& text) {
    CJsonReader reader(text);
    std::optional<tJson> value = reader.Read();
    if (!value) {
        ADD_FAILURE() << "not JSON at byte " << reader.ErrorPosition() << ": "
                      << text.substr(reader.ErrorPosition() > 80 ? reader.ErrorPosition() - 80 : 0,
                                     160);
        return {};
    }
    return *value;
}

const tJson* FindByMember(const tJson& array, std::string_view key, std::string_view text) {
    for (const tJson& item : array.items) {
        if (item.Has(key) && item[key].text == text)
            return &item;
    }
    return nullptr;
}

bool HasWord(const tJson& array, std::string_view word) {
    for (const tJson& item : array.items) {
        if (item.text == word)
            return true;
    }
    return false;
}

// Every register value of the document, to see that the export leaves them as they were.
std::vector<std::pair<std::uint32_t, std::string>> AllValues(const CProjDocBase& document) {
    std::vector<std::pair<std::uint32_t, std::string>> values;
    for (const auto& module : document.Modules()) {
        for (int i = 0; i < module->ItemCount(); ++i)
            values.emplace_back(module->Item(i).dwValue,
                                std::string(hwc::FieldText(module->Item(i).szValue)));
    }
    return values;
}

class ProjectExport : public ::testing::Test {
protected:
    CScopedArchitectureFiles m_architecture;

    fs::path CopyExample(const std::string& name) {
        const fs::path project = m_root / name;
        ::CopyExample(name, project);
        return project;
    }
    static fs::path HeaderOf(const fs::path& project) {
        return project / "ApplicationConfig/appconfig.h";
    }
    void Replace(const fs::path& file, const std::string& from, const std::string& to) {
        std::string text = ReadFileBytes(file);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(file, std::ios::binary) << text;
    }

    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-export"};
};

} // namespace

TEST_F(ProjectExport, EveryExampleGivesTheSameDocumentTwiceAndStaysUnchanged) {
    std::size_t examples = 0;
    for (const auto& entry : fs::directory_iterator(HWC_TEST_SOURCE_DIR "/examples")) {
        if (!fs::exists(HeaderOf(entry.path())))
            continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(entry.path().string()));
        ++examples;
        const auto before = AllValues(document);
        const std::string text = hwc::ExportProjectJson(document);
        EXPECT_EQ(hwc::ExportProjectJson(document), text);
        // Exporting refreshes pages and warnings; it must not touch a register.
        EXPECT_EQ(AllValues(document), before);
        EXPECT_FALSE(document.IsProjectModified());
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n');

        const tJson json = Parse(text);
        EXPECT_EQ(json["format"].text, "1");
        EXPECT_EQ(json["processor"]["define"].text, document.ProcessorDefineName());
        EXPECT_EQ(json["processor"]["name"].text, document.Processor().processorName);
        EXPECT_EQ(json["project"]["name"].text, name);
        EXPECT_EQ(json["project"]["file"].text, "ApplicationConfig/appconfig.h");
        // No absolute path: the output does not depend on where the project lies.
        EXPECT_EQ(text.find(HWC_TEST_SOURCE_DIR), std::string::npos);

        // Every module once; the tree's modules first, in tree order.
        const tJson& modules = json["modules"];
        ASSERT_EQ(modules.items.size(), document.Modules().size());
        std::vector<std::string> treeOrder;
        document.Tree().ForEachItem([&](CModuleTreeItem& item) {
            if (item.Module())
                treeOrder.push_back(item.Module()->InstanceName() + "/" + item.Module()->TypeKey());
        });
        for (std::size_t i = 0; i < treeOrder.size() && i < modules.items.size(); ++i) {
            EXPECT_EQ(modules.items[i]["instance"].text + "/" + modules.items[i]["type"].text,
                      treeOrder[i]);
            EXPECT_EQ(modules.items[i]["treePath"].kind, tJson::EKind::Array);
        }
        for (std::size_t i = treeOrder.size(); i < modules.items.size(); ++i)
            EXPECT_EQ(modules.items[i]["treePath"].kind, tJson::EKind::Null);

        // Register by register: the numbers and texts the module holds.
        for (const tJson& exported : modules.items) {
            CModuleBase* module =
                document.FindModule(exported["instance"].text, exported["type"].text);
            ASSERT_NE(module, nullptr) << exported["instance"].text;
            EXPECT_EQ(exported["selected"].boolean, module->IsSelected());
            for (const tJson& reg : exported["registers"].items) {
                const tPerCfgItem* item = module->FindRegister(reg["name"].text);
                ASSERT_NE(item, nullptr) << reg["name"].text;
                if (HasWord(reg["flags"], "text")) {
                    EXPECT_EQ(reg["value"].kind, tJson::EKind::String);
                    EXPECT_EQ(reg["bits"].kind, tJson::EKind::Null);
                } else if (!HasWord(reg["flags"], "decimal")) {
                    EXPECT_EQ(reg["value"].number, item->dwValue) << reg["name"].text;
                    EXPECT_EQ(HasWord(reg["flags"], "changed"), item->dwValue != item->dwDefault);
                }
            }
        }
    }
    EXPECT_GE(examples, 13u);
    EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown.front().text;
}

TEST_F(ProjectExport, RegistersSettingsDerivedValuesAndClocksOfTheFirstProject) {
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(HWC_TEST_SOURCE_DIR "/examples/K7Q3010-motor-drive"));
    const tJson json = Parse(hwc::ExportProjectJson(document));

    const tJson& processor = json["processor"];
    EXPECT_EQ(processor["define"].text, "K7Q3010");
    EXPECT_EQ(processor["partNumber"].text, "K7Q3010VLF"); // without the C string's quotes
    ASSERT_EQ(processor["families"].items.size(), 1u);
    EXPECT_EQ(processor["families"].items[0].text, "FamE");

    const tJson& clocks = json["clocks"];
    EXPECT_EQ(clocks["crystalMHz"].text, "8");
    EXPECT_EQ(clocks["externalClockMHz"].text, "0");
    EXPECT_EQ(clocks["generator"]["instance"].text, "OCCS");
    EXPECT_EQ(clocks["generator"]["coreMHz"].text, "4");
    EXPECT_EQ(clocks["generator"]["busMHz"].text, "4");
    EXPECT_EQ(clocks["generator"]["highSpeedMHz"].text, "8");

    EXPECT_FALSE(json["options"]["generateDefaults"].boolean);
    EXPECT_TRUE(json["options"]["generateComments"].boolean);

    const tJson* occs = FindByMember(json["modules"], "instance", "OCCS");
    ASSERT_NE(occs, nullptr);
    EXPECT_TRUE((*occs)["selected"].boolean);
    ASSERT_EQ((*occs)["treePath"].items.size(), 1u);
    EXPECT_EQ((*occs)["treePath"].items[0].text, "Clocks");

    const tJson* divby = FindByMember((*occs)["registers"], "name", "OCCS_DIVBY_INIT");
    ASSERT_NE(divby, nullptr);
    EXPECT_EQ((*divby)["value"].text, "8211");
    EXPECT_EQ((*divby)["text"].text, "0x2013U");
    EXPECT_EQ((*divby)["bits"].text, "16");
    EXPECT_EQ((*divby)["default"].text, "8241");
    EXPECT_TRUE(HasWord((*divby)["flags"], "changed"));
    EXPECT_TRUE(HasWord((*divby)["flags"], "written"));
    // At its default and not forced out: neither changed nor written.
    const tJson* prot = FindByMember((*occs)["registers"], "name", "OCCS_PROT_INIT");
    ASSERT_NE(prot, nullptr);
    EXPECT_TRUE((*prot)["flags"].items.empty());
    // A decimal user define reads as a signed number.
    const tJson* trim = FindByMember((*occs)["registers"], "name", "OCCS_USE_FACTORY_TRIM");
    ASSERT_NE(trim, nullptr);
    EXPECT_TRUE(HasWord((*trim)["flags"], "decimal"));
    EXPECT_TRUE(HasWord((*trim)["flags"], "userdefine"));
    EXPECT_EQ((*trim)["text"].text, "0");

    // A setting: its caption, its value in the summary's words and the bits it edits.
    const tJson* multiplier =
        FindByMember((*occs)["settings"], "caption", "Multiplication Factor (PLL Divide-By)");
    ASSERT_NE(multiplier, nullptr);
    EXPECT_EQ((*multiplier)["control"].text, "111");
    EXPECT_EQ((*multiplier)["value"].text, "20");
    EXPECT_EQ((*multiplier)["register"].text, "OCCS_DIVBY_INIT bits 0..5");
    EXPECT_TRUE((*multiplier)["active"].boolean);
    EXPECT_TRUE((*multiplier)["shown"].boolean);

    // Derived values: the label before each and the computed text.
    const tJson* vco = FindByMember((*occs)["derivedValues"], "caption", "VCO freq.");
    ASSERT_NE(vco, nullptr);
    EXPECT_EQ((*vco)["text"].text, "160 MHz");
    const tJson* core = FindByMember((*occs)["derivedValues"], "caption", "Core freq");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ((*core)["text"].text, "4 MHz");

    // A control of a sub-page (an interrupt row) is numbered row x 65536 + its own number.
    const tJson* cop = FindByMember(json["modules"], "instance", "COP");
    ASSERT_NE(cop, nullptr);
    const tJson* isr = FindByMember((*cop)["settings"], "caption", "COP Interrupt ISR name");
    ASSERT_NE(isr, nullptr);
    EXPECT_GT((*isr)["control"].number, 65535.0);

    // Folder items are modules without registers.
    const tJson& first = json["modules"].items.front();
    EXPECT_EQ(first["type"].text, "VOID");
    EXPECT_TRUE(first["registers"].items.empty());
    EXPECT_TRUE(first["treePath"].items.empty());
}

TEST_F(ProjectExport, DerivedValuesAndWarningsFollowTheRegistersWithoutShowingAPage) {
    const fs::path project = CopyExample("K7Q3010-motor-drive");
    // A PLL multiplier beyond the range and a watchdog on a stopped oscillator.
    Replace(HeaderOf(project), "0x2013U", "0x203FU");
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(project.string()));
    std::string message;
    ASSERT_TRUE(hwc::SetRegisterFromText(document, "COP_COPCTL_INIT=0x0062", message)) << message;
    const tJson json = Parse(hwc::ExportProjectJson(document));

    const tJson* occs = FindByMember(json["modules"], "instance", "OCCS");
    ASSERT_NE(occs, nullptr);
    const tJson* vco = FindByMember((*occs)["derivedValues"], "caption", "VCO freq.");
    ASSERT_NE(vco, nullptr);
    EXPECT_EQ((*vco)["text"].text, "512 MHz");
    ASSERT_EQ((*occs)["warnings"].items.size(), 1u);
    const tJson& pll = (*occs)["warnings"].items[0];
    EXPECT_EQ(pll["message"].text,
              "PLL output frequency should be kept between 120 and 400 MHz on this device");
    EXPECT_EQ(pll["detail"].text, "(120...400 MHz)");
    EXPECT_GT(pll["id"].number, 0.0);

    const tJson* cop = FindByMember(json["modules"], "instance", "COP");
    ASSERT_NE(cop, nullptr);
    ASSERT_EQ((*cop)["warnings"].items.size(), 1u);
    EXPECT_NE((*cop)["warnings"].items[0]["message"].text.find("relaxation oscillator"),
              std::string::npos);
    // Modules without warnings say so with an empty list.
    const tJson* pit = FindByMember(json["modules"], "instance", "PIT0");
    ASSERT_NE(pit, nullptr);
    EXPECT_TRUE((*pit)["warnings"].items.empty());
}

TEST_F(ProjectExport, UserTextWithControlCharactersAndForeignBytesStaysReadable) {
    const fs::path project = CopyExample("K7Q5110-inverter");
    const fs::path header = HeaderOf(project);
    // A control character, a tab, DEL, a byte that is never UTF-8, a good e-acute and a truncated
    // euro sign.
    const std::string odd("a\x01"
                          "b\tc\x7F"
                          "d\xFF"
                          "e\xC3\xA9"
                          "f\xE2\x82");
    Replace(header, "#define PIT0_CTRL_INIT                    0x0033U",
            "#define PIT0_CTRL_INIT                    0x0033U  /* " + odd + " */");
    Replace(header, "/* PWM_A carrier */\n",
            "/* PWM_A carrier */\n#define   ODD_TEXT  x" + odd + "  /* " + odd + " */\n");

    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(project.string()));
    CModuleBase* pit = document.FindModule("PIT0");
    ASSERT_NE(pit, nullptr);
    const tPerCfgItem* ctrlItem = pit->FindRegister("PIT0_CTRL_INIT");
    ASSERT_NE(ctrlItem, nullptr);
    const std::string keptComment(hwc::FieldText(ctrlItem->szComment));
    ASSERT_NE(keptComment.find(odd), std::string::npos) << ::testing::PrintToString(keptComment);

    const std::string out = hwc::ExportProjectJson(document);
    // No raw control character but the layout's line ends, no DEL, no byte outside UTF-8.
    for (const char c : out)
        ASSERT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << static_cast<int>(c);
    EXPECT_EQ(out.find('\x7F'), std::string::npos);
    EXPECT_EQ(out.find('\xFF'), std::string::npos);
    EXPECT_NE(out.find("a\\u0001b\\tc\\u007Fd\\u00FFe\xC3\xA9"
                       "f\\u00E2\\u0082"),
              std::string::npos);

    const tJson json = Parse(out);
    // The reader takes \u00XX back to the byte, so what was kept reads back whole.
    const tJson* exported = FindByMember(json["modules"], "instance", "PIT0");
    ASSERT_NE(exported, nullptr);
    const tJson* ctrl = FindByMember((*exported)["registers"], "name", "PIT0_CTRL_INIT");
    ASSERT_NE(ctrl, nullptr);
    EXPECT_EQ((*ctrl)["comment"].text, hwc::Trim(keptComment));
    EXPECT_EQ((*ctrl)["text"].text, "0x0033U");

    const tJson* definition = FindByMember(json["userDefinitions"], "name", "ODD_TEXT");
    ASSERT_NE(definition, nullptr);
    EXPECT_NE((*definition)["value"].text.find("xa\x01"
                                               "b"),
              std::string::npos)
        << (*definition)["value"].text;
    EXPECT_NE((*definition)["comment"].text.find(odd), std::string::npos);
    EXPECT_EQ((*definition)["header"].text, "appconfig.h");
    // The definitions before it keep their file order.
    ASSERT_GE(json["userDefinitions"].items.size(), 4u);
    EXPECT_EQ(json["userDefinitions"].items[0]["name"].text, "INV_RATED_POWER_W");
    EXPECT_EQ(json["userDefinitions"].items[2]["comment"].text, "PWM_A carrier");
    EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown.front().text;
}
