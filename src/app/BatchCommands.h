#pragma once
// The commands of the headless program. Each returns the process exit status.

#include <memory>
#include <string>
#include <vector>

class CProjDoc;

struct tBatchOptions {
    bool ifChanged = false; // reprocess: write nothing when only the banner date would change
    bool werror = false;    // check: exit 3 when any warning stands
    bool save = false;      // set, import: save the project afterwards as reprocess does
    std::vector<std::string> registers; // import: only these registers (--registers=A,B)
    std::string format = "json";        // export: the output format (--format=json)
};

int RunReprocess(const std::string& path, const tBatchOptions& options);
int RunCheck(const std::string& path, const tBatchOptions& options);
int RunRegisters(const std::string& path, const std::string& instance);
int RunProcessors();
int RunHeader(const std::string& path);
int RunSelfTestCommand(const std::string& path);
int RunPage(const std::string& path, const std::string& instance);
// Each assignment is NAME=VALUE.
int RunSet(const std::string& path, const std::vector<std::string>& assignments,
           const tBatchOptions& options);

// What the commands share. The process ends after a command: the document gives up its files
// and is left for the system to free, since freeing every module and page would only cost time.
void DiscardForExit(std::unique_ptr<CProjDoc> document);
// Writes all of the text to standard output; false when it could not be (a closed pipe, a full
// disk), with errno telling why.
bool WriteStandardOutput(const std::string& text);
