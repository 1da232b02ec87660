#include "app/BatchCommands.h"

#include <cerrno>
#include <cstdio>

#include "base/BuryPointer.h"
#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "header/LegacyNames.h"
#include "model/ModuleBase.h"
#include "model/RegisterValue.h"
#include "project/LogFile.h"
#include "project/ProcessorTable.h"
#include "project/ProjDoc.h"
#include "project/ProjectPath.h"
#include "project/RegistersList.h"
#include "project/SelfTest.h"

namespace {

constexpr int kFailed = 1;
constexpr int kWarningsStand = 3;

void PrintBlock(const char* title, const std::string& text) {
    std::printf("%s:\n%s", title, text.c_str());
    if (!text.empty() && text.back() != '\n')
        std::printf("\n");
}

void PrintRegisters(CModuleBase& module, const CProjDocBase& document) {
    for (const tRegisterRow& row : ListRegisters(module, document)) {
        // An empty text (a hook nobody named) is the name alone, with no trailing blank.
        const std::string value = FormatRegisterValue(*row.item, false);
        std::printf("%s%s%s\n", row.owner->GetDefineName(*row.item).c_str(),
                    value.empty() ? "" : " ", value.c_str());
    }
}

void PrintWarnings(const CProjDocBase& document) {
    for (const auto& warning : document.Warnings().Items())
        std::printf("%s: %s\n", warning->owner->Title().c_str(), warning->text.c_str());
}

} // namespace

void DiscardForExit(std::unique_ptr<CProjDoc> document) {
    if (!document)
        return;
    document->ReleaseFilesForExit();
    hwc::BuryPointer(std::move(document));
}

bool WriteStandardOutput(const std::string& text) {
    errno = 0;
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

int RunReprocess(const std::string& path, const tBatchOptions& options) {
    auto document = std::make_unique<CProjDoc>();
    tRunFlags flags;
    flags.reprocess = true;
    document->SetRunFlags(flags);
    int result = kFailed;
    if (document->OpenProject(path)) {
        document->SetSkipUnchangedSave(options.ifChanged);
        result = document->Save() ? 0 : kFailed;
    }
    DiscardForExit(std::move(document));
    return result;
}

int RunCheck(const std::string& path, const tBatchOptions& options) {
    CProjDoc document;
    if (!document.OpenProject(path))
        return kFailed;
    document.CheckAllWarnings();
    PrintWarnings(document);
    // Values of the file that could not be used are findings like the warnings.
    const std::vector<std::string> unusable = document.UnusableValues();
    for (const std::string& line : unusable)
        std::printf("%s\n", line.c_str());
    if (options.werror && (!document.Warnings().empty() || !unusable.empty()))
        return kWarningsStand;
    return 0;
}

int RunRegisters(const std::string& path, const std::string& instance) {
    CProjDoc document;
    if (!document.OpenProject(path))
        return kFailed;
    if (instance.empty()) {
        for (const auto& module : document.Modules())
            PrintRegisters(*module, document);
        return 0;
    }
    CModuleBase* module = document.FindModule(instance, {});
    if (!module) {
        std::fprintf(stderr, "hwc: No module named %s in this project.\n", instance.c_str());
        return kFailed;
    }
    PrintRegisters(*module, document);
    return 0;
}

int RunProcessors() {
    for (const tProcessorDefine& row : ProcessorDefines()) {
        const std::string name(ProcessorName(row));
        const std::string families = hwc::ProcessorFamilyNames(name);
        std::printf("%s %s %s %s\n", row.macroName, *row.displayName ? row.displayName : "-",
                    name.c_str(), families.empty() ? "-" : families.c_str());
    }
    return 0;
}

int RunHeader(const std::string& path) {
    CAppcfgFileReader reader(LegacyRegisterNames());
    if (!reader.OpenAndRead(ResolveProjectFile(path), false, true))
        return kFailed;
    std::printf("file: %s\n", reader.Path().c_str());
    PrintBlock("leading text", reader.LeadingText());
    std::printf("definitions: %zu\n", reader.Definitions().size());
    for (const CAppcfgEntry* entry : reader.Definitions().InFileOrder())
        std::printf("  %s %s\n", entry->name.c_str(), entry->value.c_str());
    for (const auto& [module, parameters] : reader.ParameterBlocks()) {
        std::printf("parameters of %s:\n", module.c_str());
        for (const CAppcfgEntry* entry : parameters->InFileOrder())
            std::printf("  %s=%s\n", entry->name.c_str(), entry->value.c_str());
    }
    PrintBlock("trailing text", reader.TrailingText());
    return 0;
}

int RunSelfTestCommand(const std::string& path) {
    CProjDoc document;
    tRunFlags flags;
    flags.selfTest = true;
    document.SetRunFlags(flags);
    if (!document.OpenProject(path))
        return kFailed;
    // A run whose log could not be written leaves nothing to compare; the reason was shown.
    return TheLogFile().Failed() ? kFailed : 0;
}

int RunPage(const std::string& path, const std::string& instance) {
    CProjDoc document;
    if (!document.OpenProject(path))
        return kFailed;
    document.CheckAllWarnings();
    CModuleBase* module = document.FindModule(instance, {});
    if (!module) {
        std::fprintf(stderr, "hwc: No module named %s in this project.\n", instance.c_str());
        return kFailed;
    }
    if (!hwc::ShowModulePage(document, *module)) {
        std::fprintf(stderr, "hwc: The module %s has no page.\n", instance.c_str());
        return kFailed;
    }
    for (const std::string& line : hwc::DescribePageControls(*module->Page()))
        std::printf("%s\n", line.c_str());
    return 0;
}

int RunSet(const std::string& path, const std::vector<std::string>& assignments,
           const tBatchOptions& options) {
    CProjDoc document;
    tRunFlags flags;
    flags.reprocess = options.save;
    document.SetRunFlags(flags);
    // A line end would cut the define's line in two in the header.
    for (const std::string& assignment : assignments) {
        if (assignment.find_first_of("\r\n") != std::string::npos) {
            const std::string name = assignment.substr(0, assignment.find('='));
            std::fprintf(stderr,
                         "hwc: The value for %s holds a line end; a register value is one line.\n",
                         hwc::ReplaceAll(hwc::ReplaceAll(name, "\r", "\\r"), "\n", "\\n").c_str());
            return kFailed;
        }
    }
    if (!document.OpenProject(path))
        return kFailed;
    for (const std::string& assignment : assignments) {
        const std::string note = RegisterAssignmentNote(document, assignment);
        if (!note.empty())
            std::fprintf(stderr, "hwc: %s\n", note.c_str());
        std::string message;
        if (!hwc::SetRegisterFromText(document, assignment, message)) {
            std::fprintf(stderr, "hwc: %s\n", message.c_str());
            return kFailed;
        }
    }
    document.CheckAllWarnings();
    PrintWarnings(document);
    if (options.save && !document.Save())
        return kFailed;
    return 0;
}
