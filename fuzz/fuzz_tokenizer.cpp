// Drives the tokenizer over arbitrary bytes with every kind of stretch and every combination of
// its reading calls, checking that what it reports stays consistent with the text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/TextFile.h"
#include "header/TextFileParser.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The stretch kinds of the two readers, plus odd ones: multi-character closers, a closer that
// holds a line end in its middle, and an opener that is a prefix of another.
void AddKinds(CTextFileParser& parser, std::uint8_t choice) {
    if (choice & 1) {
        parser.AddQuotes("/*", "*/", 1);
        parser.AddQuotes("//", "\n", 1);
        parser.AddQuotes("/*.", ".*/", 1);
    }
    if (choice & 2) {
        parser.AddQuotes("#", "\n", 1);
        parser.AddQuotes("{", "}", 0, 1);
    }
    if (choice & 4) {
        parser.AddQuotes("<<", "\n>>", 0, 2);
        parser.AddQuotes("<", ">", 1, 3);
    }
    if (choice & 8)
        parser.AddQuotes("\"", "", 0, 4); // replaces the built-in kind
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t kinds = data[0];
    const std::uint8_t* controls = data + 1;
    const std::size_t controlCount = size > 9 ? 8 : size - 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    hwc::CTextFile file = hwc::CTextFile::FromBytes(bytes);
    const std::string_view text = file.Text();
    CTextFileParser parser(file);
    AddKinds(parser, kinds);
    parser.StartRecording(true);

    std::string token, full, line;
    bool recording = true;
    bool firstStop = true; // until then the recording runs from the start of the file
    bool atEnd = false;
    // Every step consumes input or gives false at a line end; the bound keeps same-line calls
    // at a line end from looping.
    const std::size_t maxSteps = 4 * size + 64;
    for (std::size_t step = 0; step < maxSteps && !atEnd; ++step) {
        const std::uint8_t control = controls[step % controlCount];
        const int previousLine = parser.GetLineNumber();
        switch (control % 8) {
        case 0:
            Check(parser.ReadLine(line));
            Check(line.find('\n') == std::string::npos);
            break;
        case 1:
            if (recording) {
                const std::string recorded = parser.StopRecording();
                if (firstStop)
                    Check(text.substr(0, recorded.size()) == recorded);
                firstStop = false;
            } else {
                parser.StartRecording((control & 0x80) != 0);
            }
            recording = !recording;
            break;
        default: {
            const bool sameLine = (control & 0x10) != 0;
            const bool skipComments = (control & 0x20) != 0;
            if (!parser.GetNextToken(token, sameLine, skipComments)) {
                Check(token.empty());
                atEnd = !sameLine;
                break;
            }
            parser.GetFullToken(full);
            Check(full.size() == parser.GetFullTokenLength());
            Check(full.find(token) != std::string::npos);
            Check(!skipComments || !parser.IsComment());
            Check(parser.HasQuotes() || !token.empty());
            Check(parser.GetTokenLineStart() <= parser.GetTokenOffset());
            Check(parser.GetTokenOffset() <= text.size());
            Check(parser.GetLineNumber() >= previousLine);
            break;
        }
        }
    }
    Check(parser.ReadRestOfFile(line));
    Check(line.empty() || line.back() == '\n');
    Check(!parser.GetNextToken(token, false, false));
    parser.StopRecording();
    return 0;
}
