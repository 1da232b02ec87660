#pragma once
// A module whose page is a web page rather than a form: it knows the page's address, remembers
// the address shown last, and keeps the comment text its page supplies for the header. The
// browser itself belongs to the desktop program, which installs itself as the navigator once the
// page has been created; without one (a headless run) navigation only records the address.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modules/framework/CModule.h"

class CHtmlModule : public CModule {
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CHtmlModule, CModule)
public:
    // What the desktop's embedded browser offers the module.
    class INavigator {
    public:
        virtual ~INavigator() = default;
        // Loads the address and waits (handling user input) until it has loaded or the wait
        // limit has passed.
        virtual void LoadAddress(const std::string& address) = 0;
        // Shows the page again without loading it.
        virtual void Redraw() = 0;
        // The module is being destroyed: the browser must not call it any more.
        virtual void ModuleDestroyed() {}
        // Calls the global script function of the shown page with text arguments and waits for
        // it (handling user input, within a time limit); its result as text ("" when it returns
        // nothing), or no value when the page has no script, no such function, the function
        // threw or did not answer in time.
        virtual std::optional<std::string> CallScript(const std::string& function,
                                                      const std::vector<std::string>& arguments) {
            return std::nullopt;
        }
    };

    CHtmlModule(CModuleBase* parent, unsigned templateId, const CModuleDescriptor* descriptor,
                const tPerCfgDef* table, int count);
    ~CHtmlModule() override;

    // --- Navigation ---

    const std::string& PageAddress() const { return m_pageAddress; }
    void SetPageAddress(std::string_view address) { m_pageAddress = std::string(address); }
    // The address navigated to last; empty before the first navigation.
    const std::string& ShownAddress() const { return m_shownAddress; }
    // Loads the address in the module's browser. Without a browser yet, the address is kept and
    // loaded when the browser is installed.
    virtual void Navigate(const std::string& address);
    // Called by the desktop when the module's browser exists (null when it goes away); a new
    // browser loads the address asked for before it existed, else the page address.
    void SetNavigator(INavigator* navigator);
    INavigator* Navigator() const { return m_navigator; }
    // The browser reports that a navigation has completed.
    void PageLoaded();
    // The browser reports that the user activated (clicked) the page element with that id;
    // true when the module handled it.
    bool ElementActivated(const std::string& elementId);
    // Calls a script function of the shown page (see INavigator::CallScript); no value without
    // a browser, as in a headless run.
    std::optional<std::string> CallScript(const std::string& function,
                                          const std::vector<std::string>& arguments = {});

    // --- Plug-in behaviour (off for plain web-page modules) ---

    bool PluginMode() const { return m_pluginMode; }
    bool EarlyLoad() const { return m_earlyLoad; }
    bool ExternalApp() const { return m_externalApp; }

    // --- Header comment ---

    virtual void SetCommentText(std::string_view text) { m_commentText = std::string(text); }
    const std::string& CommentText() const { return m_commentText; }
    // "    <title> Software Module Configuration", the dashes and the indented comment text.
    void GetSummary(std::string& text) const override;

    // The web-page module that started the last navigation while a browser was shown; null when
    // none did or that module is gone.
    static CHtmlModule* Current();

protected:
    // Called after the browser reports a completed navigation; modules that fill their page by
    // script do it here.
    virtual void OnPageLoaded() {}
    // Called for an activated page element; modules whose page reports elements override it.
    virtual bool OnElementActivated(const std::string& elementId) { return false; }

    void SetPluginFlags(bool pluginMode, bool earlyLoad, bool externalApp) {
        m_pluginMode = pluginMode;
        m_earlyLoad = earlyLoad;
        m_externalApp = externalApp;
    }

private:
    std::string m_pageAddress;
    std::string m_shownAddress;
    std::string m_pendingAddress;
    std::string m_commentText;
    INavigator* m_navigator = nullptr;
    bool m_pluginMode = false;
    bool m_earlyLoad = true;
    bool m_externalApp = false;
};

namespace hwc {

// The comment block of a web-page module as written after "/*." in the header.
std::string HtmlModuleCommentBlock(std::string_view title, std::string_view commentText);

} // namespace hwc
