#include "project/ArchitectureFile.h"

#include <filesystem>
#include <system_error>

#include "base/Messages.h"
#include "base/TextFile.h"
#include "base/TextUtil.h"
#include "header/TextFileParser.h"
#include "model/ModuleBase.h"
#include "model/ModuleDescriptor.h"

namespace {

// The tag the tokenizer reports for a brace block of the module-info section.
constexpr int kInfoBlockTag = 1;

bool NextToken(CTextFileParser& parser, std::string& token) {
    return parser.GetNextToken(token, false, true);
}

bool NextTokenOnLine(CTextFileParser& parser, std::string& token) {
    return parser.GetNextToken(token, true, true);
}

// A description of the form "!display name!description" gives the display name too; one with a
// single "!" stays as it is.
void SplitDisplayName(CModuleDescriptor& descriptor) {
    const std::string text = descriptor.Description();
    if (text.empty() || text.front() != '!')
        return;
    const std::size_t second = text.find('!', 1);
    if (second == std::string::npos)
        return;
    const std::size_t third = text.find('!', second + 1);
    const std::size_t descriptionLength =
        third == std::string::npos ? std::string::npos : third - second - 1;
    descriptor.SetField(CModuleDescriptor::kDisplayName, text.substr(1, second - 1));
    descriptor.SetField(CModuleDescriptor::kDescription,
                        text.substr(second + 1, descriptionLength));
}

// Reads the fields after the instance name from the rest of its line; false when one of the
// three mandatory ones is missing.
bool ReadEntry(CTextFileParser& parser, const std::string& instanceName,
               CModuleDescriptor& descriptor) {
    descriptor.SetField(CModuleDescriptor::kInstanceName, instanceName);
    std::string token;
    for (auto field : {CModuleDescriptor::kTypeKey, CModuleDescriptor::kRelatedModule,
                       CModuleDescriptor::kInterruptList}) {
        if (!NextTokenOnLine(parser, token))
            return false;
        descriptor.SetField(field, token);
    }
    for (auto field : {CModuleDescriptor::kDescription, CModuleDescriptor::kHelpReference}) {
        if (NextTokenOnLine(parser, token))
            descriptor.SetField(field, token);
    }
    descriptor.SetField(CModuleDescriptor::kDisplayName, instanceName);
    SplitDisplayName(descriptor);
    return true;
}

// Reads past the end of a brace group whose "{" has been read, nested groups included.
void SkipGroup(CTextFileParser& parser) {
    std::string token;
    int open = 1;
    while (open > 0 && NextToken(parser, token)) {
        if (token == "{")
            ++open;
        else if (token == "}")
            --open;
    }
}

} // namespace

bool LoadArchitecture(const std::string& path, std::string_view processorName, CModuleTree& tree,
                      IModuleFactory& factory) {
    tree.DeleteAll();
    // Without a processor there is no file to look for.
    if (processorName.empty()) {
        hwc::ShowMessage("Processor unknown or not defined in project header file.\n");
        return false;
    }
    hwc::CTextFile file;
    if (const hwc::Status status = file.Load(path); !status) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            hwc::ShowMessage(status.message());
        else
            hwc::ShowMessage("Architecture configuration file '" + std::string(processorName) +
                             ".cfg' not found\n");
        return false;
    }

    CTextFileParser parser(file);
    parser.AddQuotes("#", "\n", 1);
    parser.AddQuotes("//", "\n", 1);
    parser.AddQuotes("/*", "*/", 1);
    // A stray quote in a description cannot swallow the entries below it.
    parser.SetStringRules(true, false);
    if (!ParseTreeList(parser, tree.Root(), 0, tree, factory))
        return false;
    ParseModuleInfo(parser, factory);
    return true;
}

namespace {

// What the levels of one tree list share: where they read from, what they build, and how many
// entries they have read so far.
struct tTreeList {
    CTextFileParser& parser;
    CModuleTree& tree;
    IModuleFactory& factory;
    int entries = 0;
    bool tooMany = false;
};

// One level of the tree list, nested groups included; false on an entry with fewer than four
// fields on its line, or on more entries than any processor has.
bool ReadTreeLevel(tTreeList& list, CModuleTreeItem& parent, int depth) {
    CTextFileParser& parser = list.parser;
    CModuleBase* parentModule = parent.Module();
    CModuleTreeItem* last = nullptr;
    std::string token;
    if (!NextToken(parser, token))
        return true;
    while (true) {
        if (depth == 0 && token == ".BEGIN_TREE_LIST") {
            // The section start is optional.
        } else if (depth == 0 && token == ".END_TREE_LIST") {
            return true;
        } else if (token == "{") {
            // The group holds the children of the entry before it.
            if (depth + 1 > hwc::kMaxArchitectureNesting)
                SkipGroup(parser);
            else
                ReadTreeLevel(list, last ? *last : parent, depth + 1);
            if (list.tooMany)
                return false;
        } else if (token == "}") {
            return true;
        } else {
            // Every module costs memory and a page: a file listing more than any processor has
            // is refused before it exhausts either.
            if (++list.entries > hwc::kMaxArchitectureEntries) {
                list.tooMany = true;
                hwc::ShowMessage(hwc::Format("The architecture configuration file lists more than "
                                             "%d modules; no processor has that many.",
                                             hwc::kMaxArchitectureEntries));
                return false;
            }
            CModuleDescriptor descriptor;
            if (!ReadEntry(parser, token, descriptor)) {
                // A broken entry ends its own group, not the levels around it.
                if (depth > 0)
                    SkipGroup(parser);
                return false;
            }
            // An unknown type key drops the entry; a group after it goes to the entry before.
            if (CModuleBase* module = list.factory.CreateModule(&descriptor, parentModule)) {
                last = &list.tree.InsertItem(parent, hwc::ModuleTreeItemText(descriptor), module);
                if (depth <= 1)
                    list.tree.SetExpanded(parent, true);
            }
        }
        if (!NextToken(parser, token))
            return true;
    }
}

} // namespace

bool ParseTreeList(CTextFileParser& parser, CModuleTreeItem& parent, int depth, CModuleTree& tree,
                   IModuleFactory& factory) {
    tTreeList list{parser, tree, factory};
    const bool read = ReadTreeLevel(list, parent, depth);
    return read && !list.tooMany;
}

bool ParseModuleInfo(CTextFileParser& parser, IModuleFactory& factory) {
    std::string token;
    do {
        if (!NextToken(parser, token))
            return true;
    } while (token != ".BEGIN_MODULE_INFO");

    parser.AddQuotes("{", "}", 0, kInfoBlockTag);
    while (NextToken(parser, token)) {
        const bool isBlock = parser.GetQuotesTag() == kInfoBlockTag;
        if (!isBlock && token == ".END_MODULE_INFO")
            break;
        // A block that follows no known module is skipped; its text never names a module.
        if (isBlock)
            continue;
        CModuleBase* module = factory.FindModule(token);
        if (!module)
            continue;
        if (!NextToken(parser, token))
            break;
        if (parser.GetQuotesTag() == kInfoBlockTag)
            module->SetModuleInfo(token);
        else if (token == ".END_MODULE_INFO")
            break;
    }
    return true;
}
