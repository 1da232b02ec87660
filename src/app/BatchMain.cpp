// hwc-batch: the headless program that build servers and scripts run on a project.

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/BatchCommands.h"
#include "app/BatchDescribe.h"
#include "app/BatchExport.h"
#include "app/BatchImport.h"
#include "app/BatchMessages.h"
#include "base/TextUtil.h"

namespace {

const char kUsage[] =
    "usage: hwc-batch COMMAND [OPTIONS] ARGUMENTS\n"
    "\n"
    "PATH is a project's header file, or a firmware project folder holding\n"
    "ApplicationConfig/appconfig.h (or appconfig.h).\n"
    "\n"
    "Commands:\n"
    "  reprocess [--answer=yes|no|cancel] [--if-changed] PATH\n"
    "        open the project and save it again (exit 1 when the open or the save failed);\n"
    "        --if-changed writes nothing when only the banner date would change\n"
    "  check [--werror] PATH\n"
    "        print every warning as 'module: text', then every value of the header that\n"
    "        cannot be used (--werror: exit 3 when any stands)\n"
    "  registers PATH [INSTANCE]\n"
    "        print the registers of one module, or of all, as 'NAME VALUE' ('NAME' alone\n"
    "        for an empty text)\n"
    "  processors\n"
    "        print the processor table: macro, display name, processor, families\n"
    "  selftest PATH\n"
    "        open the project and run the self-test of one module of each type, appending\n"
    "        to hwc_selftest.log in the project folder\n"
    "  page PATH INSTANCE\n"
    "        show the module's page and print its controls in dialog order as\n"
    "        'NUMBER<TAB>KIND<TAB>shown|hidden,enabled|disabled<TAB>TEXT'\n"
    "  set [--save] [--answer=yes|no|cancel] PATH NAME=VALUE...\n"
    "        write registers (numbers as C reads them; texts as given), print the warnings\n"
    "        as check does; --save saves the project as reprocess does\n"
    "  header PATH\n"
    "        print what the header holds: the user's leading and trailing text, every\n"
    "        definition and every internal-parameter block\n"
    "  import [--save] [--answer=yes|no|cancel] [--registers=NAME,...] SOURCE DEST\n"
    "         [INSTANCE[=SOURCE_INSTANCE]...]\n"
    "        copy register values into modules of DEST from the module of the same (or the\n"
    "        given) name in SOURCE, which is only read (SOURCE may be DEST itself); without an\n"
    "        INSTANCE, every module of DEST whose namesake SOURCE writes; --registers copies\n"
    "        only those (define names, or names without the instance prefix); differently\n"
    "        named registers take --answer; any refusal exits 1 and saves nothing\n"
    "  describe PATH\n"
    "        print the whole configuration in words, module by module in tree order: the\n"
    "        summary lines, then 'NAME = value' for every register written; no date, so the\n"
    "        output serves as a text conversion for 'git diff'\n"
    "  diff PATH_A PATH_B\n"
    "        compare two projects module by module: modules only in one, settings and\n"
    "        registers that differ (exit 0 when equal, 1 when they differ, 2 on errors)\n"
    "  export [--format=json] PATH\n"
    "        print the whole configuration as JSON (processor, clocks, modules with their\n"
    "        registers, settings, derived values and warnings, user definitions)\n"
    "\n"
    "Messages go to standard error as 'hwc: TEXT'; questions take the --answer given\n"
    "(default cancel; for OK/Cancel questions yes means OK).\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

struct tCommandLine {
    std::string command;
    std::vector<std::string> arguments;
    std::vector<std::string> options; // every "--" word, as given
};

tCommandLine Split(int argc, char** argv) {
    tCommandLine line;
    line.command = argc > 1 ? argv[1] : "";
    for (int i = 2; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word.substr(0, 2) == "--")
            line.options.emplace_back(word);
        else
            line.arguments.emplace_back(word);
    }
    return line;
}

// Takes the options a command accepts; false for any other option.
bool TakeOptions(const tCommandLine& line, std::string_view accepted, tBatchOptions& options,
                 EBatchAnswer& answer) {
    for (const std::string& option : line.options) {
        const std::string_view name = std::string_view(option).substr(0, option.find('='));
        const std::vector<std::string> names = hwc::Split(accepted, ' ');
        if (std::find(names.begin(), names.end(), name) == names.end())
            return false;
        if (name == "--answer") {
            if (option.size() <= name.size() ||
                !ParseBatchAnswer(std::string_view(option).substr(name.size() + 1), answer))
                return false;
        } else if (option == "--if-changed") {
            options.ifChanged = true;
        } else if (option == "--werror") {
            options.werror = true;
        } else if (name == "--format") {
            if (option != "--format=json")
                return false;
            options.format = "json";
        } else if (option == "--save") {
            options.save = true;
        } else if (name == "--registers") {
            if (option.size() <= name.size())
                return false;
            for (const std::string& word : hwc::Split(option.substr(name.size() + 1), ',')) {
                if (!hwc::Trim(word).empty())
                    options.registers.emplace_back(hwc::Trim(word));
            }
            if (options.registers.empty())
                return false;
        } else {
            return false;
        }
    }
    return true;
}

// What each command takes: the number of arguments and the options it accepts.
struct tCommandSpec {
    std::string_view name;
    std::size_t minArguments;
    std::size_t maxArguments;
    std::string_view options;
};

constexpr tCommandSpec kCommands[] = {
    {"reprocess", 1, 1, "--answer --if-changed"},
    {"check", 1, 1, "--answer --werror"},
    {"registers", 1, 2, "--answer"},
    {"processors", 0, 0, ""},
    {"header", 1, 1, "--answer"},
    {"selftest", 1, 1, "--answer"},
    {"page", 2, 2, "--answer"},
    {"set", 2, static_cast<std::size_t>(-1), "--answer --save"},
    {"import", 2, static_cast<std::size_t>(-1), "--answer --save --registers"},
    {"describe", 1, 1, "--answer"},
    {"diff", 2, 2, "--answer"},
    {"export", 1, 1, "--answer --format"},
};

int Run(std::string_view command, const std::vector<std::string>& arguments,
        const tBatchOptions& options) {
    const std::string& path = arguments.empty() ? std::string() : arguments[0];
    if (command == "reprocess")
        return RunReprocess(path, options);
    if (command == "check")
        return RunCheck(path, options);
    if (command == "registers")
        return RunRegisters(path, arguments.size() > 1 ? arguments[1] : std::string());
    if (command == "processors")
        return RunProcessors();
    if (command == "selftest")
        return RunSelfTestCommand(path);
    if (command == "page")
        return RunPage(path, arguments[1]);
    if (command == "set")
        return RunSet(path, {arguments.begin() + 1, arguments.end()}, options);
    if (command == "import")
        return RunImport(arguments, options);
    if (command == "describe")
        return RunDescribe(path);
    if (command == "diff")
        return RunDiff(arguments[0], arguments[1]);
    if (command == "export")
        return RunExport(path, options);
    return RunHeader(path);
}

} // namespace

int main(int argc, char** argv) {
    // A reader that stops early (`| head`) makes writes fail instead of ending the program
    // while it holds the project's lock.
    std::signal(SIGPIPE, SIG_IGN);
    const tCommandLine line = Split(argc, argv);
    if (line.command == "--help" || line.command == "-h" || line.command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    for (const tCommandSpec& spec : kCommands) {
        if (spec.name != line.command)
            continue;
        tBatchOptions options;
        EBatchAnswer answer = EBatchAnswer::Cancel;
        if (line.arguments.size() < spec.minArguments ||
            line.arguments.size() > spec.maxArguments ||
            !TakeOptions(line, spec.options, options, answer))
            return Usage();
        CBatchMessages messages(answer);
        hwc::ScopedMessageHandler scope(messages);
        return Run(spec.name, line.arguments, options);
    }
    return Usage();
}
