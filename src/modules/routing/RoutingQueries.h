#pragma once
// What the crossbar modules ("XBAR_A", "XBAR_B") answer to the modules whose inputs they feed:
// whether an output has a configured source, and the link that points the user to it. While
// the crossbar does not exist (or does not answer) every output counts as configured, so no
// warning is raised about it.

#include <string>
#include <string_view>

class CModuleBase;

namespace hwc {

class ICrossbar {
public:
    virtual ~ICrossbar() = default;
    // The output's selected source passes the crossbar's own source check.
    virtual bool IsOutputConfigured(int output) const = 0;
    // The output's mode selection (its list position), or -1 without one.
    virtual int OutputMode(int output) const = 0;
};

bool CrossbarExists(const CModuleBase& asker, std::string_view crossbar);
// True while the crossbar is absent.
bool CrossbarOutputConfigured(const CModuleBase& asker, std::string_view crossbar, int output);
// The output's mode, or -1 while the crossbar is absent.
int CrossbarOutputMode(const CModuleBase& asker, std::string_view crossbar, int output);
// A link to the crossbar's page with its name as the text, or the bare name without it.
std::string CrossbarLink(const CModuleBase& asker, std::string_view crossbar);

} // namespace hwc
