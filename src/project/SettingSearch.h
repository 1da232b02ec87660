#pragma once
// Finding a setting by its words: an index over the pages of every module in the module tree
// (labels, setting descriptions, the entries of choice lists and the registers the settings
// write), searched as the user types. A result leads to the control that edits the setting.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CModuleBase;
class CModuleTree;
class CPageControl;
class CSetCtrl;

namespace hwc {

// The dash between a setting and its value in a result's text (UTF-8 em dash).
inline constexpr const char* kResultValueSeparator = " \xE2\x80\x94 ";

// One setting found.
struct tSearchResult {
    CModuleBase* module = nullptr;
    CPageControl* control = nullptr; // the control the result leads to
    // The control's number as a module link names it (a sub-page control as sub-page number x
    // 0x10000 + number); 0 when no number reaches exactly this control.
    int controlId = 0;
    std::string caption; // the setting's label, else its description
    std::string value;   // the current value as the page shows it; may be empty
    // What the words were found in when that is not the caption: "Entry: / 128",
    // "Register: PIT0_CTRL_INIT bits 8..9"; empty otherwise.
    std::string matched;

    // "PIT0: Clock Prescaler — / 64", without the dash when there is no value.
    std::string Text() const;
};

class CSettingSearch {
public:
    static constexpr std::size_t kDefaultLimit = 200;

    CSettingSearch();
    ~CSettingSearch();
    CSettingSearch(const CSettingSearch&) = delete;
    CSettingSearch& operator=(const CSettingSearch&) = delete;

    // Indexes the pages of the tree's modules in tree order (a module listed twice once). The
    // index refers to the modules and their page controls: build it again after the project
    // changes, and clear it before the modules go away.
    void Build(const CModuleTree& tree);
    void Clear();
    bool IsBuilt() const { return m_built; }
    // The number of settings indexed.
    std::size_t EntryCount() const;

    // The shown settings whose texts hold the query, ignoring case and blanks at its ends: at
    // most `limit`, best first (a caption that starts with the query, then one with a word that
    // does, then one that holds it anywhere, then list entries and register names), each rank
    // in module-tree order, then in dialog order. `total` receives the number of settings
    // found. An empty query finds nothing.
    std::vector<tSearchResult> Find(std::string_view query, std::size_t limit = kDefaultLimit,
                                    std::size_t* total = nullptr) const;

    // One indexed setting (defined where the index is built).
    struct tEntry;

private:
    std::vector<tEntry> m_entries;
    bool m_built = false;
};

// The text a control shows as its value: the summary wording of its binding when the binding is
// enabled ("/ 64", "Enabled"; also while its control is disabled), else the selected entry of a
// list, the state of a box, or the control's text.
std::string SettingValueText(const CModuleBase& module, const CPageControl& control);

// Whether the control shows on its page: it and the placeholders of the sub-pages around it are
// shown.
bool IsControlShown(const CPageControl& control);

enum class EShowResult {
    Shown,
    PageRefused,   // the page being left keeps an invalid value, or there is nowhere to show it
    ControlHidden, // the page is shown, but its settings now hide the control
};

// Shows the result's module page (through the document, as a click in the module tree does) and
// puts the focus and a tool-tip naming the setting on its control, as following a module link
// does.
EShowResult ShowSearchResult(const tSearchResult& result);

} // namespace hwc
