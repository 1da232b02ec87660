#pragma once
// What the crossbar modules ("XBAR_A", "XBAR_B") answer to the modules whose inputs they feed:
// whether an output has a configured source, and the link that points the user to it. While
// the crossbar does not exist (or does not answer) every output counts as configured, so no
// warning is raised about it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CModuleBase;

namespace hwc {

// The outcome of the crossbar's check of an output's selected source.
struct tCrossbarSourceCheck {
    bool passes = true;
    std::string message; // why the source is not set up, when it does not pass
};

// Where an output's input selection lives in the crossbar's registers.
struct tCrossbarField {
    std::string registerName; // the define name without the module prefix, "XBC3_INIT"
    int lowBit = 0;
    int width = 0;
};

class ICrossbar {
public:
    virtual ~ICrossbar() = default;
    // The output's selected source passes the crossbar's own source check.
    virtual bool IsOutputConfigured(int output) const = 0;
    // The output's mode selection (its list position), or -1 without one.
    virtual int OutputMode(int output) const = 0;
    // The source check of the output's selection; passes for an output that does not exist.
    virtual tCrossbarSourceCheck CheckOutputSource(int output) const = 0;
    // A signal "XB_INn", "XB_OUTn" (or "XB_INa/XB_INb") is selected by some output.
    virtual bool IsSignalInUse(std::string_view signal) const = 0;
    // "n. NAME." for an existing output, "Crossbar output n." otherwise.
    virtual std::string OutputLabel(int output) const = 0;
    // The register field that holds the output's selection; none for an output that does not exist.
    virtual std::optional<tCrossbarField> OutputField(int output) const = 0;
    // The input names in input order (the items of an output's selection list).
    virtual std::vector<std::string> InputNames() const = 0;
};

bool CrossbarExists(const CModuleBase& asker, std::string_view crossbar);
// True while the crossbar is absent.
bool CrossbarOutputConfigured(const CModuleBase& asker, std::string_view crossbar, int output);
// The output's mode, or -1 while the crossbar is absent.
int CrossbarOutputMode(const CModuleBase& asker, std::string_view crossbar, int output);
// The source check of the output's selection; passes while the crossbar is absent.
tCrossbarSourceCheck CrossbarSourceCheck(const CModuleBase& asker, std::string_view crossbar,
                                         int output);
// Whether a crossbar signal is selected; false while the crossbar is absent.
bool CrossbarSignalInUse(const CModuleBase& asker, std::string_view crossbar,
                         std::string_view signal);
// The output's label; "Crossbar output n." while the crossbar is absent.
std::string CrossbarOutputLabel(const CModuleBase& asker, std::string_view crossbar, int output);
// The output's register field; none while the crossbar is absent.
std::optional<tCrossbarField> CrossbarOutputField(const CModuleBase& asker,
                                                  std::string_view crossbar, int output);
// The crossbar's input names; empty while it is absent.
std::vector<std::string> CrossbarInputNames(const CModuleBase& asker, std::string_view crossbar);
// A link to the crossbar's page with its name as the text, or the bare name without it.
std::string CrossbarLink(const CModuleBase& asker, std::string_view crossbar);

} // namespace hwc
