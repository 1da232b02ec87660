// A whole open, edit, save and re-open cycle of a project made of the input: the bytes before the
// first 0x01 are the header, the bytes after it the K7Q3010's architecture file (without a 0x01,
// a small one of its own). One register is written, the project saved, opened again and saved
// again: the second save must give the same bytes as the first, and every file must stay within
// the project's and the program's folders.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "base/AppFilePath.h"
#include "base/Messages.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "project/ProjDoc.h"
#include "project/RegistersList.h"

namespace fs = std::filesystem;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Every message is answered with its default, as a re-process would, except the question before
// the first save of a hand-written header, which is accepted so that the save path is fuzzed too.
class CDefaultAnswers final : public hwc::IMessageHandler {
public:
    hwc::EAnswer Show(std::string_view text, hwc::EButtons buttons, hwc::EAnswer answer) override {
        if (buttons == hwc::EButtons::YesNo &&
            text.find(" was not written by this program.") != std::string_view::npos)
            return hwc::EAnswer::Yes;
        return buttons == hwc::EButtons::Ok ? hwc::EAnswer::Ok : answer;
    }
};

constexpr std::string_view kSmallArchitecture = ".BEGIN_TREE_LIST\n"
                                                "Clocks VOID NONE 0\n{\n"
                                                "    OCCS OCCS SYS INT:16,17: \"Clocks\"\n}\n"
                                                "QT_A QTALL OCCS 0\n{\n"
                                                "    QT_A0 QT QT_A INT:65:\n}\n"
                                                ".END_TREE_LIST\n";

struct tFolders {
    fs::path app;
    fs::path header;
};

const tFolders& Folders() {
    static const tFolders folders = [] {
        const fs::path root = fs::temp_directory_path() /
                              ("hwc_fuzz_cycle_" + std::to_string(static_cast<long>(::getpid())));
        fs::create_directories(root / "bin");
        fs::create_directories(root / "project");
        ::setenv("SOURCE_DATE_EPOCH", "0", 1);
        // Removed at exit through a copy that outlives every static object.
        static char removeAtExit[4096];
        root.string().copy(removeAtExit, sizeof removeAtExit - 1);
        std::atexit([] {
            std::error_code error;
            fs::remove_all(removeAtExit, error);
        });
        return tFolders{root / "bin", root / "project" / "appconfig.h"};
    }();
    return folders;
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check(out.good());
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// An architecture file that lists one instance twice gives two modules writing the same
// definitions; the shipped files never do, so such input is passed over.
bool HasTwinModules(const CProjDoc& document) {
    std::set<std::string> names;
    for (const auto& module : document.Modules()) {
        if (!names.insert(module->InstanceName()).second)
            return true;
    }
    return false;
}

// Writes one register chosen by `pick` to a value made of `value`; refusals are fine.
void WriteOneRegister(CProjDoc& document, std::uint8_t pick, std::string_view value) {
    std::size_t seen = 0;
    for (const auto& module : document.Modules()) {
        for (const tRegisterRow& row : ListRegisters(*module, document)) {
            if (seen++ != pick)
                continue;
            std::string message;
            StoreRegisterRow(document, row, value, message);
            return;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CDefaultAnswers answers;
    hwc::ScopedMessageHandler scope(answers);
    const tFolders& folders = Folders();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.find('\x01');
    const std::string_view header = bytes.substr(0, split);
    const std::string_view architecture =
        split == std::string_view::npos ? kSmallArchitecture : bytes.substr(split + 1);

    SetAppFolder(folders.app.string());
    WriteBytes(folders.app / "K7Q3010.cfg", architecture);
    WriteBytes(folders.header, header);
    std::error_code error;
    fs::remove(folders.header.parent_path() / "appconfig.bak", error);
    fs::remove(folders.header.parent_path() / "appconfig.h.orig", error);

    std::string first;
    {
        CProjDoc document;
        if (!document.OpenProject(folders.header.string()) || HasTwinModules(document))
            return 0;
        // The last bytes choose the register and its new value.
        const std::uint8_t pick = size > 0 ? data[size - 1] : 0;
        const std::string value =
            hwc::Format("0x%X", size > 2 ? (data[size - 2] << 8 | data[size - 3]) : 1);
        WriteOneRegister(document, pick, value);
        if (!document.Save())
            return 0;
        first = ReadBytes(folders.header);
    }
    {
        CProjDoc document;
        Check(document.OpenProject(folders.header.string()));
        Check(document.Save());
    }
    Check(ReadBytes(folders.header) == first);
    // Nothing but the header, its backup, the kept original of a hand-written header and the
    // lock lives in the project folder; the kept original is the input itself.
    for (const auto& entry : fs::directory_iterator(folders.header.parent_path())) {
        const std::string name = entry.path().filename().string();
        Check(name == "appconfig.h" || name == "appconfig.bak" || name == "appconfig.lck" ||
              name == "appconfig.h.orig");
        if (name == "appconfig.h.orig")
            Check(ReadBytes(entry.path()) == header);
    }
    return 0;
}
