#include "project/LogFile.h"

#include "base/Messages.h"
#include "base/TextFile.h"

bool CLogFile::Open(const std::string& path, std::string_view project) {
    m_path = path;
    const std::string header = "New Session Started for project " + std::string(project);
    Write(header, true);
    Write(std::string(header.size(), '-'), true);
    return true;
}

void CLogFile::Write(std::string_view text, bool lineEnd) {
    if (m_path.empty())
        return;
    std::string line(text);
    if (lineEnd)
        line += '\n';
    const hwc::Status status = hwc::AppendTextFile(m_path, line);
    if (!status)
        hwc::ShowMessage(status.message());
}

CLogFile& TheLogFile() {
    static CLogFile log;
    return log;
}
