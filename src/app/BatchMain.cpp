// hwc-batch: the headless program that build servers and scripts run on a project.

#include <cstdio>
#include <cstring>
#include <string>

#include "header/AppcfgFile.h"
#include "header/LegacyNames.h"
#include "project/ProjectPath.h"

namespace {

const char kUsage[] =
    "usage: hwc-batch COMMAND [OPTIONS] PATH\n"
    "\n"
    "PATH is a project's appconfig.h, or a firmware project folder holding\n"
    "ApplicationConfig/appconfig.h (or appconfig.h).\n"
    "\n"
    "Commands:\n"
    "  header PATH   print what the header holds: the user's leading and trailing text,\n"
    "                every definition and every internal-parameter block\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

void PrintBlock(const char* title, const std::string& text) {
    std::printf("%s:\n%s", title, text.c_str());
    if (!text.empty() && text.back() != '\n')
        std::printf("\n");
}

int PrintHeader(const std::string& projectPath) {
    CAppcfgFileReader reader(LegacyRegisterNames());
    if (!reader.OpenAndRead(ResolveProjectFile(projectPath), false, true))
        return 1;
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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "header" && argc == 3 && argv[2][0] != '-')
        return PrintHeader(argv[2]);
    return Usage();
}
