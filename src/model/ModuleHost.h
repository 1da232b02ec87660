#pragma once
// What a module needs from the project document that holds it. The document implements it;
// tests use a small fake.

#include <cstddef>
#include <string>
#include <string_view>

class CModuleBase;
struct tPerCfgItem;

class IModuleHost {
public:
    virtual ~IModuleHost() = default;

    // The document's modules in list order, each once.
    virtual std::size_t ModuleCount() const = 0;
    virtual CModuleBase* ModuleAt(std::size_t index) const = 0;

    // Output options of the header writer.
    virtual bool GenerateComments() const = 0;
    virtual bool GenerateDefaults() const = 0;
    virtual bool KeepUserComments() const = 0;

    // Records which module owns an item (the registers view names the owner from it).
    virtual void RegisterItem(const tPerCfgItem& item, CModuleBase& owner) = 0;

    // Tells every view but the sender that something changed (the update hint numbers of the
    // update cycle; `object` is the binding, module, sub-page or warning concerned).
    virtual void UpdateAllViews(CModuleBase* /*sender*/, int /*hint*/, const void* /*object*/) {}

    // Raises or clears a warning of a module in the document's list.
    virtual void SetWarning(CModuleBase* /*owner*/, int /*id*/, bool /*active*/,
                            const char* /*message*/, const char* /*detail*/) {}
    // True once every module has loaded its values.
    virtual bool IsProjectLoaded() const { return false; }
    // Shows the module's page as selecting it in the module tree does; false when the page
    // being left keeps the focus (an invalid value) or there is nothing to show it in.
    virtual bool ShowModulePage(CModuleBase& /*module*/) { return false; }
    // The processor has a module of this instance name, but the program has no class for its
    // type, so nothing can be asked of it (an asker cannot tell whether it is set up).
    virtual bool IsModuleWithoutClass(std::string_view /*instanceName*/) const { return false; }

    // The define naming the project's processor ("K7Q400R"); empty while no processor is known.
    virtual std::string ProcessorDefineName() const { return {}; }
};

namespace hwc {

// The document that is creating modules right now; module constructors take it from here.
IModuleHost* HostBeingOpened();
void SetHostBeingOpened(IModuleHost* host);

// Sets the document being opened for the lifetime of the scope.
class ScopedHostBeingOpened {
public:
    explicit ScopedHostBeingOpened(IModuleHost* host) : m_previous(HostBeingOpened()) {
        SetHostBeingOpened(host);
    }
    ~ScopedHostBeingOpened() { SetHostBeingOpened(m_previous); }
    ScopedHostBeingOpened(const ScopedHostBeingOpened&) = delete;
    ScopedHostBeingOpened& operator=(const ScopedHostBeingOpened&) = delete;

private:
    IModuleHost* m_previous;
};

} // namespace hwc
