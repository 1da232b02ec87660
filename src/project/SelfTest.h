#pragma once
// What headless runs do with an open project: the self-test run (one module of each type drives
// the setting controls of its page through their values, and every line is appended to the
// project folder's self-test log, so that runs before and after a change can be compared),
// showing a module page without a window, and writing a register by name.

#include <string>
#include <string_view>
#include <vector>

class CModuleBase;
class CPage;
class CProjDocBase;

namespace hwc {

inline constexpr const char* kSelfTestLogName = "hwc_selftest.log";

// Shows the module's page as selecting it in the module tree does: the page is created (hidden
// pages of other modules stay as they are), marked shown, refreshed from the registers, and its
// control states are updated. False when the module has no page.
bool ShowModulePage(CProjDocBase& document, CModuleBase& module);

// One line per control of the page in dialog order, the controls of a sub-page right after its
// placeholder: "NUMBER\tKIND\tshown|hidden,enabled|disabled\tTEXT". A control of a sub-page is
// numbered sub-page number x 65536 + its own number; controls without a number show -1.
std::vector<std::string> DescribePageControls(const CPage& page);

// Writes "NAME=VALUE" into the register of that name in any module of the document, as the
// automation interface does: numbers as C's "%i" reads them (the whole value must be the
// number) masked to the register width unless the register is signed, texts as given (cut to
// fit). A changed value runs the owner's update cycle. False with `message` set when the name
// is no register (user definitions are not) or the value cannot be read.
bool SetRegisterFromText(CProjDocBase& document, std::string_view assignment, std::string& message);

} // namespace hwc

// Runs the self-test of the first module of each type key, in module-list order, appending a
// session block to "hwc_selftest.log" in the project folder. Saves nothing. False when the log
// could not be written (the user has been told): without the log nothing is run; a line lost
// later is reported and the run goes on.
bool RunSelfTest(CProjDocBase& document);
