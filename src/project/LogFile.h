#pragma once
// An append-only text log. The file is opened and closed for every write, so that it can be
// watched while the tool runs and nothing is lost when the program ends abruptly.

#include <string>
#include <string_view>

class CLogFile {
public:
    // Starts a session block in the log at the path: a header line naming the project and a
    // line of dashes as long as it. Earlier content of the file stays.
    bool Open(const std::string& path, std::string_view project);
    // Stops logging; later writes do nothing.
    void Close() { m_path.clear(); }
    bool IsOpen() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }

    // Appends the text, and a line end when asked. Does nothing while the log is closed; a file
    // error is shown and that text is lost.
    void Write(std::string_view text, bool lineEnd);

private:
    std::string m_path;
};

// The one log of the whole run.
CLogFile& TheLogFile();
