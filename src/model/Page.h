#pragma once
// A module page as a toolkit-free object: the state of every control of its dialog template
// (text, check state, entries and selection, visibility, enabled state, colours), in dialog order.
// Bindings and the module react to control events through handlers; a renderer draws the page
// and follows its changes through an observer. Pages exist hidden as well as shown, so headless
// runs walk exactly the controls the desktop program shows.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/DialogTemplate.h"

class CModuleBase;
class CPage;
class CPageControl;
class CModuleSubDlg;

struct tColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const tColour&) const = default;
};

enum class EControlEvent : std::uint8_t {
    Clicked,          // a button, check box or radio button was clicked
    SelectionChanged, // a combo or list box selection changed
    TextChanged,      // the text of an edit field changed
    FocusGained,
    FocusLost,
};

// What a binding attached to a control does with its events; it sees them before the module.
class IControlHandler {
public:
    virtual ~IControlHandler() = default;
    virtual void OnControlEvent(CPageControl& control, EControlEvent event) = 0;
    // The control goes away with its page; the handler must forget it.
    virtual void OnControlDestroyed(CPageControl& control) = 0;
};

// What the page-wide operations (refresh, apply, validate, self-test) need of a binding; every
// setting control implements it.
class IBinding : public IControlHandler {
public:
    virtual void Refresh() = 0;
    virtual void Apply() = 0;
    virtual void SelfTest() = 0;
    // Checks the control's value for the page's validation; with show, an invalid value is
    // reported with a message.
    virtual bool ValidateControl(bool show) { return true; }
};

// The module's own reaction to control events, after the control's handler.
class IPageCommandHandler {
public:
    virtual ~IPageCommandHandler() = default;
    virtual void OnPageCommand(CPageControl& control, EControlEvent event) = 0;
};

// What a renderer needs to hear to keep its widgets in step.
class IPageObserver {
public:
    virtual ~IPageObserver() = default;
    virtual void OnControlChanged(CPageControl& control) = 0;
    virtual void OnSubPageInserted(CPageControl& placeholder) = 0;
    virtual void OnFocusRequested(CPageControl& control) = 0;
    virtual void OnToolTip(CPageControl& control, const std::string& text,
                           const std::string& title) = 0;
};

class CPageControl {
public:
    CPageControl(CPage& page, const tControlDef& def);
    ~CPageControl();
    CPageControl(const CPageControl&) = delete;
    CPageControl& operator=(const CPageControl&) = delete;

    CPage& Page() const { return m_page; }
    const tControlDef& Def() const { return m_def; }
    int Id() const { return m_def.id; }
    EControlKind Kind() const { return m_def.kind; }
    // Whether the control takes the keyboard focus (labels, group boxes and placeholders do not).
    bool TakesFocus() const;

    // The caption of buttons and labels, the text of edit fields and of a combo box's edit field.
    const std::string& Text() const { return m_ownText ? m_text : m_def.caption; }
    void SetText(std::string text);
    // 0 unchecked, 1 checked, 2 indeterminate.
    int Check() const { return m_check; }
    void SetCheck(int check);
    const std::vector<std::string>& Items() const { return m_items ? *m_items : m_def.items; }
    void SetItems(std::vector<std::string> items);
    // Shows a list the caller keeps too: controls that offer the same entries (every output of
    // a crossbar) then hold them once. A null list is an empty one.
    void ShareItems(std::shared_ptr<const std::vector<std::string>> items);
    int AddItem(std::string item);
    // The selected entry, or -1.
    int Selection() const { return m_selection; }
    // The text of the selected entry; null without a selection.
    const std::string* SelectedItem() const {
        const std::vector<std::string>& items = Items();
        return m_selection >= 0 && static_cast<std::size_t>(m_selection) < items.size()
                   ? &items[static_cast<std::size_t>(m_selection)]
                   : nullptr;
    }
    void SetSelection(int index);

    bool IsVisible() const { return m_visible; }
    void Show(bool show);
    bool IsEnabled() const { return m_enabled; }
    void Enable(bool enable);
    const std::optional<tColour>& TextColour() const { return m_textColour; }
    void SetTextColour(std::optional<tColour> colour);
    const std::optional<tColour>& BackColour() const { return m_backColour; }
    void SetBackColour(std::optional<tColour> colour);
    // The text shown while the pointer rests on the control (why its value is refused); empty
    // for none.
    const std::string& ToolTip() const;
    void SetToolTip(std::string text);
    // The range of an up-down control.
    std::int32_t Low() const { return m_low; }
    std::int32_t High() const { return m_high; }
    void SetRange(std::int32_t low, std::int32_t high);

    // The embedded page that replaced a placeholder, or null.
    CPage* SubPage() const { return m_subPage.get(); }

    IControlHandler* Handler() const { return m_handler; }
    void SetHandler(IControlHandler* handler) { m_handler = handler; }

private:
    friend class CPage;
    void Changed();
    // The list of own entries when it may be changed in place; null when there is none or it
    // is shared.
    std::vector<std::string>* ChangeableItems();

    CPage& m_page;
    // The template outlives its pages; caption and entries are copied only once they change.
    const tControlDef& m_def;
    std::string m_text;
    // A page has thousands of controls: what few of them hold (entries of their own instead of
    // the template's, a tool-tip) is kept apart, so that the others do not pay for it.
    std::shared_ptr<const std::vector<std::string>> m_items;
    bool m_ownItems = false; // m_items was made here, not shared, and may be changed in place
    bool m_ownText = false;
    int m_check = 0;
    int m_selection = -1;
    bool m_visible = true;
    bool m_enabled = true;
    std::optional<tColour> m_textColour;
    std::optional<tColour> m_backColour;
    std::unique_ptr<std::string> m_toolTip;
    std::int32_t m_low = 0;
    std::int32_t m_high = 0;
    std::unique_ptr<CPage> m_subPage;
    IControlHandler* m_handler = nullptr;
};

class CPage {
public:
    // Controls inside a sub-page are addressed as sub-page id x 0x10000 + control id.
    static constexpr int kSubPageShift = 16;
    // Whether the id names a control of a sub-page (sub-page id in the high half); ids with
    // the highest bit set are sub-page ids too, except the "no control" id.
    static bool IsSubPageControlId(int id) {
        return id != kNoControlId && static_cast<std::uint32_t>(id) >= (1u << kSubPageShift);
    }
    // The id of a control of a sub-page; sub-page ids of 0x8000 and more set the highest bit.
    static constexpr int SubPageControlId(int subPage, int controlId) {
        return static_cast<int>((static_cast<std::uint32_t>(subPage) << kSubPageShift) |
                                static_cast<std::uint32_t>(controlId));
    }

    explicit CPage(const CDialogTemplate& dialogTemplate, CPage* parent = nullptr);
    ~CPage();
    CPage(const CPage&) = delete;
    CPage& operator=(const CPage&) = delete;

    // The module this page belongs to; a sub-page answers its holder's module.
    CModuleBase* Module() const;
    void SetModule(CModuleBase* module) { m_module = module; }

    const CDialogTemplate& Template() const { return m_template; }
    unsigned TemplateId() const { return m_template.Id(); }
    CPage* Parent() const { return m_parent; }
    // The page's own controls in dialog order (a sub-page's controls are in the sub-page).
    const std::vector<std::unique_ptr<CPageControl>>& Controls() const { return m_controls; }

    // The control with that id: the page's own, else inside its sub-pages in dialog order; an id
    // of 0x10000 or more names a control of the sub-page with id (id >> 16).
    CPageControl* FindControl(int id) const;
    // The first control in dialog order whose caption is exactly the text (sub-pages included).
    CPageControl* FindControlByText(std::string_view text) const;
    // The bindings attached to the page's own controls, in dialog order.
    std::vector<IBinding*> Bindings() const;
    // The sub-pages in dialog order.
    std::vector<CModuleSubDlg*> SubPages() const;

    // The control just before this one in dialog order (its label, or an up-down's buddy).
    CPageControl* ControlBefore(const CPageControl& control) const;
    // The radio buttons of the group the button belongs to, in dialog order.
    std::vector<CPageControl*> RadioGroupOf(const CPageControl& button) const;

    // Puts a sub-page in place of the first free placeholder with that number; false when there
    // is none.
    bool InsertSubPage(int placeholderId, std::unique_ptr<CModuleSubDlg> subPage);
    // Makes a shown sub-page of the template and puts it at the placeholder: one of a page's
    // repeated blocks (a channel, a pin, an interrupt row). Null when there is no free
    // placeholder with that number.
    CModuleSubDlg* StackSubPage(int placeholderId, const CDialogTemplate& dialogTemplate);

    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }

    // --- Events: renderers and tests report what the user does ---

    // Delivers an event: first to the control's handler, then to the page's command handler.
    void Dispatch(CPageControl& control, EControlEvent event);
    // A click: a check box toggles, a radio button is checked and its group cleared; then the
    // event is delivered.
    void UserClick(CPageControl& control);
    void UserSelect(CPageControl& control, int index);
    void UserEdit(CPageControl& control, std::string text);
    // An arrow of an up-down control (delta +1 up, -1 down, or the step): the control before
    // it in dialog order (its buddy) gets the stepped text, as if typed.
    void UserSpin(CPageControl& upDown, int delta);
    // A click on a hyperlink control: the module follows the link of its anchor text, with
    // "module title: shown text" as the tool-tip to show at the target.
    void UserFollowLink(CPageControl& hyperlink);
    // Moves the keyboard focus (kept by the outermost page): the control that had it loses it
    // first.
    void UserFocus(CPageControl* control);
    CPageControl* Focused() const { return m_focused; }

    void SetCommandHandler(IPageCommandHandler* handler) { m_commandHandler = handler; }
    void SetObserver(IPageObserver* observer) { m_observer = observer; }
    IPageObserver* Observer() const;

    // Asks the renderer to show a balloon tool-tip at the control (and to focus it).
    void ShowToolTip(CPageControl& control, const std::string& text, const std::string& title);

    // --- Utilities of the module code; each does nothing when the control does not exist ---

    void EnableControl(int id, bool enable);
    void EnableControls(std::initializer_list<int> ids, bool enable);
    void ShowControl(int id, bool show);
    void ShowControls(std::initializer_list<int> ids, bool show);
    void SetControlText(int id, std::string text);
    void SetCtrlTextColor(int id, std::optional<tColour> colour);
    void SetCtrlBkColor(int id, std::optional<tColour> colour);
    void SetSpinRange(int id, std::int32_t low, std::int32_t high);
    // A warning indicator: a given message becomes its text; it shows while the warning is
    // active or while it has a message.
    void ShowIndicator(int id, bool active, const char* message);

private:
    const CDialogTemplate& m_template;
    CPage* m_parent;
    CModuleBase* m_module = nullptr;
    std::vector<std::unique_ptr<CPageControl>> m_controls;
    CPageControl* m_focused = nullptr;
    IPageCommandHandler* m_commandHandler = nullptr;
    IPageObserver* m_observer = nullptr;
    bool m_visible = false;
};
