#include "project/LogFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Messages.h"
#include "base/TextFile.h"
#include "base/TextUtil.h"

namespace {

// Opens the log at the end without following a link: a symbolic link, or a file that has other
// names as well, gives up its name to a new file. -1 with errno set when that fails; EINVAL when
// something other than a file (a folder, a device, a pipe) has the log's name.
int OpenForAppending(const std::string& path) {
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    // A few attempts: someone may put a link back between its removal and the new file.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.c_str(), kFlags, 0666);
        if (fd < 0 && errno != ELOOP)
            return -1;
        if (fd >= 0) {
            struct stat status {};
            const bool known = ::fstat(fd, &status) == 0;
            const int error = known ? EINVAL : errno;
            if (known && S_ISREG(status.st_mode) && status.st_nlink <= 1)
                return fd;
            ::close(fd);
            if (!known || !S_ISREG(status.st_mode)) {
                errno = error;
                return -1;
            }
        }
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            return -1;
    }
    errno = ELOOP;
    return -1;
}

hwc::Status AppendToLog(const std::string& path, std::string_view text) {
    const int fd = OpenForAppending(path);
    if (fd < 0 && errno == EINVAL)
        return hwc::Status::Error(
            hwc::Format("Cannot write the log \"%s\": something other than a file has its name.",
                        path.c_str()));
    if (fd < 0)
        return hwc::Status::Error(hwc::FileErrorMessage("open", path, errno));
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : EIO;
            ::close(fd);
            return hwc::Status::Error(hwc::FileErrorMessage("write", path, error));
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::close(fd) != 0)
        return hwc::Status::Error(hwc::FileErrorMessage("write", path, errno));
    return hwc::Status::Ok();
}

} // namespace

bool CLogFile::Open(const std::string& path, std::string_view project) {
    m_path = path;
    m_failed = false;
    const std::string header = "New Session Started for project " + std::string(project);
    // One write for the block: a log that cannot take it is reported once, not line by line.
    if (Append(header + "\n" + std::string(header.size(), '-') + "\n"))
        return true;
    Close();
    return false;
}

void CLogFile::Write(std::string_view text, bool lineEnd) {
    if (m_path.empty())
        return;
    std::string line(text);
    if (lineEnd)
        line += '\n';
    Append(line);
}

bool CLogFile::Append(std::string_view text) {
    const hwc::Status status = AppendToLog(m_path, text);
    if (status)
        return true;
    m_failed = true;
    hwc::ShowMessage(status.message());
    return false;
}

CLogFile& TheLogFile() {
    static CLogFile log;
    return log;
}
