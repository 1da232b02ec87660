#include "app/BatchDescribe.h"

#include <cstdio>
#include <memory>

#include "app/BatchCommands.h"
#include "project/ProjDoc.h"
#include "project/ProjectDescription.h"

namespace {

constexpr int kDiffer = 1;
constexpr int kCannotOpen = 2;

// Opens a project only to read it: no lock is taken and no file is created, so a project that
// is open elsewhere, or a copy git made for a text conversion, can be described.
std::unique_ptr<CProjDoc> OpenForReading(const std::string& path) {
    auto document = std::make_unique<CProjDoc>();
    document->SetBatchMode(nullptr);
    if (!document->OpenProject(path))
        return nullptr;
    return document;
}

// Output that cannot be written (a closed pipe, a full disk) must not pass for a result.
int OutputFailed() {
    std::fputs("hwc: The output could not be written.\n", stderr);
    return kCannotOpen;
}

} // namespace

int RunDescribe(const std::string& path) {
    std::unique_ptr<CProjDoc> document = OpenForReading(path);
    if (!document)
        return kCannotOpen;
    const std::string text = hwc::DescribeText(hwc::DescribeProject(*document));
    DiscardForExit(std::move(document));
    return WriteStandardOutput(text) ? 0 : OutputFailed();
}

int RunDiff(const std::string& pathA, const std::string& pathB) {
    std::unique_ptr<CProjDoc> a = OpenForReading(pathA);
    if (!a)
        return kCannotOpen;
    const hwc::tProjectDescription described = hwc::DescribeProject(*a);
    DiscardForExit(std::move(a));
    std::unique_ptr<CProjDoc> b = OpenForReading(pathB);
    if (!b)
        return kCannotOpen;
    const std::vector<std::string> lines = hwc::DiffProjects(described, hwc::DescribeProject(*b));
    DiscardForExit(std::move(b));
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    if (!WriteStandardOutput(text))
        return OutputFailed();
    return lines.empty() ? 0 : kDiffer;
}
