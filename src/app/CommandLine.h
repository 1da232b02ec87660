#pragma once
// The command-line record: what the program was asked to do at start-up, word by word.

#include <string>
#include <string_view>

class CMyCommandLineInfo {
public:
    enum class EShellCommand { FileNew, FileOpen };

    // Takes one word. A flag arrives without its lead character and is compared without regard
    // to case; the first word that is not a flag names the project to open.
    void ParseParam(std::string_view word, bool isFlag, bool isLast);

    bool m_showSplash = true;
    bool m_runEmbedded = false;  // launched by the component runtime to serve an object
    bool m_runAutomated = false; // launched by the component runtime for automation
    bool m_registerPerUser = false;
    EShellCommand m_shellCommand = EShellCommand::FileNew;
    std::string m_fileName; // header file, folder, or empty for the current folder

    bool m_selfTest = false;  // run the self-test once the project is open
    bool m_reprocess = false; // save the opened project and exit
};

// True when the word is a flag: it begins with "-", or with "/" and is not a path. On this
// platform absolute paths begin with "/" too, so a word with a further "/" or one that names an
// existing file or folder is taken as a path.
bool IsCommandLineFlag(std::string_view word);

// Feeds every word after the program name to the record, flags without their lead character.
void ParseCommandLine(int argc, const char* const* argv, CMyCommandLineInfo& info);
