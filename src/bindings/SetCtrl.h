#pragma once
// The binding between a page control and a register: the common state and behaviour of every
// setting control. A binding is a member of its module; it works on its register while detached
// and moves data between register and control once the page's control is attached to it.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/Page.h"
#include "model/Summary.h"

class CModuleBase;

namespace hwc {

// Update hints the bindings send when they have written their register.
enum EBindingHint {
    kHintValueWritten = 10,  // a numeric field (value binding)
    kHintChoiceWritten = 11, // a choice (mode and enumerated bindings)
    kHintBitWritten = 12,    // a bit (check boxes and radio buttons)
};

// Where self-test lines go; the self-test run installs the log file's writer. Null discards.
using SelfTestSink = void (*)(std::string_view line);
void SetSelfTestSink(SelfTestSink sink);
void WriteSelfTestLine(std::string_view line);

// "Reg[NAME] = 0x%0Nx": the format of a register value in self-test lines, with 2 digits for
// 8-bit, 8 for 32-bit and 4 for every other register.
std::string SelfTestRegisterFormat(std::string_view itemName, std::uint32_t flags);
// The register text of a self-test line.
std::string SelfTestRegisterText(const std::string& format, std::uint32_t value);
// The register text of a self-test line for a named register's value; made only when a self-test
// writes it, since every binding of every loaded module has one.
std::string SelfTestRegisterText(std::string_view itemName, std::uint32_t flags,
                                 std::uint32_t value);
inline constexpr const char* kCustomHandlerText = "No Value Specified (Custom Handler)";
inline constexpr const char* kMissingDescription = "<Description Text Missing>";
// The text padded with blanks to at least 40 characters (the self-test line columns).
std::string PadSelfTestColumn(std::string_view text);

} // namespace hwc

// The register bits a binding edits, for the control's tool-tip and the registers view.
struct tBindingField {
    const std::uint32_t* value = nullptr; // the register's value word; null for custom handlers
    std::uint32_t mask = 0;               // the bits in place; all ones for the whole register
    bool hasRange = false;                // a value field with its limits
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;
    std::string description;
};

class CSetCtrl : public IBinding, public ISummarySource {
public:
    CSetCtrl() = default;
    ~CSetCtrl() override;
    CSetCtrl(const CSetCtrl&) = delete;
    CSetCtrl& operator=(const CSetCtrl&) = delete;

    // --- The binding interface, in slot order ---

    // The control carrying this binding, or null while detached.
    CPageControl* GetWnd() const { return m_control; }
    // Register (or custom getter) to control.
    void Refresh() override = 0;
    // Control to register (or custom setter), then the document is told.
    void Apply() override = 0;
    // Drives the control through its values and writes self-test lines.
    void SelfTest() override = 0;
    bool IsAttached() const { return m_control != nullptr; }
    bool IsUsable() const { return m_control && m_control->IsEnabled(); }
    // Always active, or enabled with an enabled and shown control. The summary lists only
    // active bindings.
    bool IsActive() const override;
    // The binding's own enabled state; enabling refreshes the control.
    void Enable(bool enable);
    int GetCtrlId();
    // Text for the configuration summary: empty while not enabled; without value the
    // description alone.
    std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override = 0;

    // The register bits the binding edits; none (a null value) by default.
    virtual tBindingField Field() const { return {}; }
    // Keeps the binding in the summary while its control is disabled or hidden.
    void SetAlwaysActive(bool alwaysActive) { m_alwaysActive = alwaysActive; }
    bool IsEnabled() const { return m_enabled; }

    // Joins the binding to the page's control (the page's data exchange does it); the control's
    // events then reach the binding first. Detach when the page goes away.
    void Attach(CPageControl& control);
    // Attaches to the page's control with this id; a page without it (one family's page lacks
    // some controls) leaves the binding as it was. Whether the control exists.
    bool AttachTo(CPage& page, int id);
    void Detach();

    // Default event handling: losing the focus applies. Bindings add their own events.
    void OnControlEvent(CPageControl& control, EControlEvent event) override;
    // The page went away: the binding works on its register again.
    void OnControlDestroyed(CPageControl& control) override;

protected:
    // Completes the description from the label (for check boxes their own caption, for the
    // other bindings the caption of the control before, without trailing ':') and shows the
    // register in the control.
    virtual void OnAttached() = 0;
    // The caption of the control just before this one in dialog order, trailing ':' removed.
    std::string LabelBefore() const;
    // An empty description, or one ending with ':', gets the label appended (after a blank when
    // not empty); line ends become blanks.
    static std::string CompletedDescription(std::string description, std::string_view label);
    // The module whose page holds the control, or null.
    CModuleBase* PageModule() const;
    // Tells the document's views that this binding wrote its register.
    void NotifyDocument(int hint);

    bool m_alwaysActive = false;
    bool m_enabled = false;

private:
    CPageControl* m_control = nullptr;
    int m_ctrlId = 0;
};
