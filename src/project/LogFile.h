#pragma once
// An append-only text log. The file is opened and closed for every write, so that it can be
// watched while the tool runs and nothing is lost when the program ends abruptly. The log never
// writes through a link: a symbolic link (or a second name of another file) in its place is
// replaced by a log file of its own.

#include <string>
#include <string_view>

class CLogFile {
public:
    // Starts a session block in the log at the path: a header line naming the project and a
    // line of dashes as long as it. Earlier content of the file stays. When the block cannot be
    // written the user is told once, the log stays closed and the result is false.
    bool Open(const std::string& path, std::string_view project);
    // Stops logging; later writes do nothing.
    void Close() { m_path.clear(); }
    bool IsOpen() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    // True when some text of the session last opened was lost (also after Close).
    bool Failed() const { return m_failed; }

    // Appends the text, and a line end when asked. Does nothing while the log is closed; a file
    // error is shown and that text is lost.
    void Write(std::string_view text, bool lineEnd);

private:
    // Appends the text; false (after showing why) when it is lost.
    bool Append(std::string_view text);

    std::string m_path;
    bool m_failed = false;
};

// The one log of the whole run.
CLogFile& TheLogFile();
