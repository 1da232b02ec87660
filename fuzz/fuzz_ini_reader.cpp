// Reads any bytes as an INI file, walks it, writes it and reads the written text back: the second
// reading must give the same sections, keys and values in the same order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/TextFile.h"
#include "base/IniFile.h"

namespace {

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

void ReadInto(CIniFile& ini, std::string_view bytes) {
    hwc::CTextFile file = hwc::CTextFile::FromBytes(bytes);
    Check(ini.Read(file));
}

// Every section name, key and value in order, each field framed by its length.
std::string Walk(CIniFile& ini) {
    std::string out;
    auto add = [&out](const std::string& field) {
        out += std::to_string(field.size());
        out += ':';
        out += field;
    };
    for (const auto& section : ini.Sections()) {
        Check(ini.FindSection(section->Name()) == section.get());
        add(section->Name());
        std::string key, value;
        for (auto pos = section->FirstPosition(); pos != CIniFileSection::kEndPosition;) {
            section->GetNext(pos, key, value);
            Check(value == section->Get(key));
            add(key);
            add(value);
        }
        out += '\n';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CIniFile first;
    ReadInto(first, std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string walked = Walk(first);

    std::string written;
    Check(first.Write(written));
    CIniFile second;
    ReadInto(second, hwc::WithLineEnding(written, first.LineEnding()));
    Check(Walk(second) == walked);
    return 0;
}
