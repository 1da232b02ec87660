#pragma once
// The automation object a plug-in page scripts: it reads and writes the registers of its
// assigned module, raises warnings, sets the header comment and follows links, and it passes
// the module's events on to the page. Toolkit-free; the desktop publishes it to the page.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

class CModuleBase;
struct CConfigToolObjSinks;

// A script argument or result: missing/empty, boolean, number, text.
using tScriptValue = std::variant<std::monostate, bool, double, std::string>;

// What a call gives back: kOk, or kInvalidArgument (nothing was changed).
enum class EScriptStatus { kOk, kInvalidArgument };

// The page's event handlers; every call is synchronous (the desktop waits for the page).
class IConfigToolEvents {
public:
    virtual ~IConfigToolEvents() = default;
    virtual void OnRefreshAll() {}
    virtual void OnUpdateAll() {}
    virtual void OnCheckWarnings() {}
    virtual std::int32_t OnShowToolTip(std::int32_t tipId, const std::string& text,
                                       const std::string& title) {
        return 0;
    }
    virtual void OnGenerateComment() {}
    virtual void OnProjectClosing() {}
};

class CConfigToolObj {
public:
    CConfigToolObj(); // assigned module: CHtmlModule::Current()
    ~CConfigToolObj();
    CConfigToolObj(const CConfigToolObj&) = delete;
    CConfigToolObj& operator=(const CConfigToolObj&) = delete;

    CModuleBase* AssignedModule() const;
    void Connect(IConfigToolEvents* sink);
    void Disconnect(IConfigToolEvents* sink);

    EScriptStatus AssignModule(const tScriptValue& prefix, tScriptValue& result);
    EScriptStatus SetReg(const tScriptValue& name, const tScriptValue& value, tScriptValue& result);
    EScriptStatus GetReg(const tScriptValue& name, tScriptValue& result);
    EScriptStatus SetWarning(const tScriptValue& id, const tScriptValue& set,
                             const tScriptValue& text);
    EScriptStatus NavigatePage(const tScriptValue& url, const tScriptValue& tipText);
    EScriptStatus SetComment(const tScriptValue& comment);

    // Every live object, in creation order.
    static const std::vector<CConfigToolObj*>& LiveObjects();
    // The events of a module, to every object assigned to it, in list then connection order.
    static void FireRefreshAll(const CModuleBase& module);
    static void FireUpdateAll(const CModuleBase& module);
    static void FireCheckWarnings(const CModuleBase& module);
    static std::int32_t FireShowToolTip(const CModuleBase& module, std::int32_t tipId,
                                        const std::string& text, const std::string& title);
    static void FireGenerateComment(const CModuleBase& module);
    static void FireProjectClosing(const CModuleBase& module);
    // The module is gone: objects assigned to it keep no pointer to it.
    static void ForgetModule(const CModuleBase& module);

private:
    friend struct CConfigToolObjSinks;

    CModuleBase* m_module = nullptr;
    std::vector<IConfigToolEvents*> m_sinks;
};
