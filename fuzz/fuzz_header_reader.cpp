// Reads arbitrary bytes as a configuration header with the legacy name table, then looks up
// names taken from the input. Ordinary bad content must never show a message.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/Messages.h"
#include "base/TextFile.h"
#include "header/AppcfgFile.h"
#include "header/LegacyNames.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

class CNoMessages final : public hwc::IMessageHandler {
public:
    hwc::EAnswer Show(std::string_view, hwc::EButtons, hwc::EAnswer) override { std::abort(); }
};

// Up to a few dozen white-space separated words of the input.
std::vector<std::string> WordsOf(std::string_view bytes) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < bytes.size() && words.size() < 48) {
        while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\n' || bytes[at] == '\t'))
            ++at;
        const std::size_t start = at;
        while (at < bytes.size() && bytes[at] != ' ' && bytes[at] != '\n' && bytes[at] != '\t')
            ++at;
        if (at > start)
            words.emplace_back(bytes.substr(start, at - start));
    }
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CNoMessages noMessages;
    hwc::ScopedMessageHandler scope(noMessages);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CAppcfgFileReader reader(LegacyRegisterNames());
    hwc::CTextFile file = hwc::CTextFile::FromBytes(bytes, "appconfig.h");
    Check(reader.Read(file, true));
    Check(!reader.TrailingText().empty() && reader.TrailingText().back() == '\n');
    Check(!reader.LeadingText().empty() || !reader.TrailingText().empty());

    for (CAppcfgEntry* entry : reader.Definitions().InFileOrder()) {
        Check(!entry->name.empty());
        Check(reader.GetEntry(entry->name) == entry);
    }
    Check(reader.Definitions().InFileOrder().size() == reader.Definitions().size());
    for (const auto& [module, block] : reader.ParameterBlocks()) {
        Check(reader.FindParameterBlock(module) == block.get());
        for (const CAppcfgEntry* entry : block->InFileOrder())
            Check(reader.GetParam(module, entry->name) == entry);
    }

    const std::vector<std::string> words = WordsOf(bytes);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (CAppcfgEntry* entry = reader.GetEntry(words[i]))
            entry->Claim();
        reader.GetParam(words[i], words[(i + 1) % words.size()]);
    }
    return 0;
}
