#include "base/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/TextUtil.h"

namespace hwc {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Writes all bytes and closes the file, reporting the first error (a full disk shows at close).
Status WriteAndClose(FilePtr file, const std::string& path, std::string_view bytes) {
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return Status::Error(FileErrorMessage("write", path, errno ? errno : EIO));
    if (std::fflush(file.get()) != 0)
        return Status::Error(FileErrorMessage("write", path, errno ? errno : EIO));
    if (std::fclose(file.release()) != 0)
        return Status::Error(FileErrorMessage("write", path, errno ? errno : EIO));
    return Status::Ok();
}

} // namespace

Status CTextFile::Load(const std::string& path) {
    m_path = path;
    SetBytes({});
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return Status::Error(FileErrorMessage("open", path, errno));
    // The bytes are read straight into the text and converted where they stand.
    constexpr std::size_t kChunk = 65536;
    while (true) {
        const std::size_t had = m_text.size();
        m_text.resize(had + kChunk);
        const std::size_t got = std::fread(m_text.data() + had, 1, kChunk, file.get());
        m_text.resize(had + got);
        if (m_text.size() > kMaxSize) {
            SetBytes({});
            return Status::Error(Format("The file \"%s\" is too large to be read.", path.c_str()));
        }
        if (got < kChunk)
            break;
    }
    if (std::ferror(file.get())) {
        SetBytes({});
        return Status::Error(FileErrorMessage("read", path, errno ? errno : EIO));
    }
    ConvertLineEnds();
    return Status::Ok();
}

CTextFile CTextFile::FromBytes(std::string_view bytes, std::string path) {
    CTextFile file;
    file.m_path = std::move(path);
    file.SetBytes(bytes);
    return file;
}

void CTextFile::SetBytes(std::string_view bytes) {
    m_text.assign(bytes);
    ConvertLineEnds();
}

void CTextFile::ConvertLineEnds() {
    m_pos = 0;
    // The first line end decides the convention; a carriage return alone is no line end.
    const std::size_t firstLineEnd = m_text.find('\n');
    m_lineEnding = firstLineEnd != std::string::npos && firstLineEnd > 0 &&
                           m_text[firstLineEnd - 1] == '\r'
                       ? ELineEnding::CRLF
                       : ELineEnding::LF;
    std::size_t from = m_text.find('\r');
    if (from == std::string::npos)
        return;
    // Every carriage return right before a line feed goes; the text moves up over the gaps.
    std::size_t to = from;
    const std::size_t size = m_text.size();
    for (; from < size; ++from) {
        const char c = m_text[from];
        if (c == '\r' && from + 1 < size && m_text[from + 1] == '\n')
            continue;
        m_text[to++] = c;
    }
    m_text.resize(to);
}

bool CTextFile::ReadLine(std::string& line) {
    line.clear();
    if (AtEnd())
        return false;
    const std::size_t end = m_text.find('\n', m_pos);
    if (end == std::string::npos) {
        line.assign(m_text, m_pos, std::string::npos);
        m_pos = m_text.size();
    } else {
        line.assign(m_text, m_pos, end - m_pos);
        m_pos = end + 1;
    }
    return true;
}

std::string WithLineEnding(std::string_view text, ELineEnding lineEnding) {
    if (lineEnding == ELineEnding::LF)
        return std::string(text);
    return ReplaceAll(text, "\n", "\r\n");
}

Status WriteTextFile(const std::string& path, std::string_view text, ELineEnding lineEnding) {
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return Status::Error(FileErrorMessage("create", path, errno));
    return WriteAndClose(std::move(file), path, WithLineEnding(text, lineEnding));
}

Status AppendTextFile(const std::string& path, std::string_view text) {
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "ab"));
    if (!file)
        return Status::Error(FileErrorMessage("open", path, errno));
    return WriteAndClose(std::move(file), path, text);
}

std::string FileErrorMessage(std::string_view action, const std::string& path, int errorNumber) {
    return Format("Cannot %.*s the file \"%s\": %s.", static_cast<int>(action.size()),
                  action.data(), path.c_str(), std::strerror(errorNumber ? errorNumber : EIO));
}

} // namespace hwc
