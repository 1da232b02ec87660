#include "app/BatchExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "project/ProjDoc.h"
#include "project/ProjectExport.h"

namespace {

constexpr int kCannotExport = 2;

} // namespace

int RunExport(const std::string& path, const tBatchOptions& options) {
    // JSON is the only format; the command line refuses any other.
    (void)options;
    CProjDoc document;
    if (!document.OpenProject(path))
        return kCannotExport;
    const std::string text = hwc::ExportProjectJson(document);
    // The lock goes before the output: a reader that stops early (a pipe into head) ends this
    // process while it writes, which must not leave the project's lock file behind.
    document.ReleaseFilesForExit();
    // A full disk or a closed pipe must not pass for a complete export.
    if (!WriteStandardOutput(text)) {
        std::fprintf(stderr, "hwc: The export could not be written: %s.\n",
                     errno != 0 ? std::strerror(errno) : "output error");
        return kCannotExport;
    }
    return 0;
}
