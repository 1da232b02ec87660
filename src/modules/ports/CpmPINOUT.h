#pragma once
// The pin-out view: the processor's package drawn by a web page, with the name of the function
// each pin carries and one check box per selectable pin function. It writes no registers of
// its own; its check boxes show and change the pin functions of the GPIO ports (and through
// them the system module's peripheral selects). The page is driven through its script
// functions; without a browser (a headless run) nothing is sent.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modules/framework/CHtmlModule.h"

class CpmPINOUT : public CHtmlModule {
    HWC_DECLARE_MODULE_CLASS(CpmPINOUT, CHtmlModule)
public:
    // Identifiers of the page's check boxes: prefix, module instance, separator, pin function.
    static constexpr const char* kCheckboxPrefix = "GPIOXB_";
    static constexpr const char* kCheckboxSeparator = "__";

    // Check box states sent to the page.
    enum ECheckState { kNoneInUse = 0, kAllInUse = 1, kSomeInUse = 2 };

    // The module instance and pin function a check box identifier names; the function is empty
    // when the identifier has none.
    struct tCheckbox {
        std::string instance;
        std::string function;
    };

    CpmPINOUT(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmPINOUT() override;

    // Takes the page, processor name and preliminary mark from the module information and
    // lists the registers the pins depend on with the module's registers.
    void BindControls(IModuleHost* host) override;
    // A change of the document: the pin names and check box states that changed go to the page.
    void CheckWarnings() override;
    // Remembers the view the page shows before it loads again, to show it once more afterwards.
    void Navigate(const std::string& address) override;

    const std::string& CpuName() const { return m_cpuName; }
    bool Preliminary() const { return m_preliminary; }

    // The parts of a check box identifier; no value when it has not the check box form.
    static std::optional<tCheckbox> ParseCheckbox(const std::string& elementId);
    // The state of a check box from the pin-function contexts of its module; no value when the
    // identifier is no check box or its module does not exist.
    std::optional<int> CheckboxState(const std::string& elementId) const;
    // Turns the pin function of a check box on (on its first candidate pin) while no pin
    // carries it, otherwise every pin carrying it back to GPIO. False when the identifier is
    // no check box or its module does not exist.
    bool ToggleCheckbox(const std::string& elementId);

    // Sends the pin names and check box states to a loaded page: those not yet sent or changed
    // since, or all of them with `all`.
    void RefreshPage(bool all = false);

protected:
    void OnPageLoaded() override;
    bool OnElementActivated(const std::string& elementId) override;

private:
    // Calls a page function whose result must be a boolean; false when the call failed.
    bool CallBoolean(const std::string& function, const std::vector<std::string>& arguments);
    // One pass of RefreshPage; false when the module went away during a call.
    bool SendPins(bool all);
    bool SendCheckboxes(bool all);

    std::string m_cpuName;
    bool m_preliminary = false;
    bool m_pageLoaded = false;
    bool m_checkboxesFetched = false;
    std::vector<std::string> m_checkboxes;
    std::optional<int> m_viewToRestore;
    // What the page shows as far as the module knows: pin -> name and description, check box
    // -> state. A failed call leaves the entry out, so that the next refresh sends it again.
    std::map<std::string, std::pair<std::string, std::string>> m_sentPins;
    std::map<std::string, int> m_sentStates;
    // Script calls wait in the event loop, where another refresh or a click may arrive.
    bool m_refreshing = false;
    bool m_refreshPending = false;
    bool m_refreshAllPending = false;
    // Cleared when the module is destroyed, which may happen while a script call waits.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
