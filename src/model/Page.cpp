#include "model/Page.h"

#include <algorithm>
#include <utility>

#include "model/ModuleBase.h"
#include "model/ModuleLink.h"
#include "model/ModuleSubDlg.h"
#include "model/UpDown.h"

// --- CPageControl ---

CPageControl::CPageControl(CPage& page, const tControlDef& def)
    : m_page(page), m_def(def), m_low(def.low), m_high(def.high) {}

CPageControl::~CPageControl() {
    if (m_handler)
        m_handler->OnControlDestroyed(*this);
}

bool CPageControl::TakesFocus() const {
    switch (m_def.kind) {
    case EControlKind::Static:
    case EControlKind::GroupBox:
    case EControlKind::Placeholder:
    case EControlKind::UpDown:
    case EControlKind::Graph:
        return false;
    default:
        return m_visible && m_enabled;
    }
}

void CPageControl::Changed() {
    if (IPageObserver* observer = m_page.Observer())
        observer->OnControlChanged(*this);
}

void CPageControl::SetText(std::string text) {
    if (text == Text())
        return;
    m_text = std::move(text);
    m_ownText = true;
    Changed();
}

void CPageControl::SetCheck(int check) {
    if (check == m_check)
        return;
    m_check = check;
    Changed();
}

std::vector<std::string>* CPageControl::ChangeableItems() {
    if (m_ownItems && m_items.use_count() == 1) {
        // Made here as a changeable list, and nobody else holds it.
        return const_cast<std::vector<std::string>*>(m_items.get());
    }
    return nullptr;
}

void CPageControl::SetItems(std::vector<std::string> items) {
    // Once own entries exist, the same list takes the new ones (a reference to it stays good).
    if (std::vector<std::string>* own = ChangeableItems()) {
        *own = std::move(items);
    } else {
        m_items = std::make_shared<std::vector<std::string>>(std::move(items));
        m_ownItems = true;
    }
    m_selection = -1;
    Changed();
}

void CPageControl::ShareItems(std::shared_ptr<const std::vector<std::string>> items) {
    if (!items)
        items = std::make_shared<const std::vector<std::string>>();
    m_items = std::move(items);
    m_ownItems = false;
    m_selection = -1;
    Changed();
}

int CPageControl::AddItem(std::string item) {
    std::vector<std::string>* own = ChangeableItems();
    if (!own) {
        auto copy = std::make_shared<std::vector<std::string>>(Items());
        own = copy.get();
        m_items = std::move(copy);
        m_ownItems = true;
    }
    own->push_back(std::move(item));
    Changed();
    return static_cast<int>(own->size()) - 1;
}

void CPageControl::SetSelection(int index) {
    if (index < 0 || index >= static_cast<int>(Items().size()))
        index = -1;
    if (index == m_selection)
        return;
    m_selection = index;
    // A combo box shows the chosen entry in its edit field.
    if (m_def.kind == EControlKind::DropList || m_def.kind == EControlKind::DropDown) {
        m_text = index < 0 ? std::string() : Items()[static_cast<std::size_t>(index)];
        m_ownText = true;
    }
    Changed();
}

void CPageControl::Show(bool show) {
    if (show == m_visible)
        return;
    m_visible = show;
    Changed();
}

void CPageControl::Enable(bool enable) {
    if (enable == m_enabled)
        return;
    m_enabled = enable;
    Changed();
}

void CPageControl::SetTextColour(std::optional<tColour> colour) {
    if (colour == m_textColour)
        return;
    m_textColour = colour;
    Changed();
}

void CPageControl::SetBackColour(std::optional<tColour> colour) {
    if (colour == m_backColour)
        return;
    m_backColour = colour;
    Changed();
}

const std::string& CPageControl::ToolTip() const {
    static const std::string kNone;
    return m_toolTip ? *m_toolTip : kNone;
}

void CPageControl::SetToolTip(std::string text) {
    if (text == ToolTip())
        return;
    if (m_toolTip)
        *m_toolTip = std::move(text);
    else
        m_toolTip = std::make_unique<std::string>(std::move(text));
    Changed();
}

void CPageControl::SetRange(std::int32_t low, std::int32_t high) {
    m_low = low;
    m_high = high;
    Changed();
}

// --- CPage ---

CPage::CPage(const CDialogTemplate& dialogTemplate, CPage* parent)
    : m_template(dialogTemplate), m_parent(parent) {
    m_controls.reserve(dialogTemplate.Controls().size());
    for (const tControlDef& def : dialogTemplate.Controls())
        m_controls.push_back(std::make_unique<CPageControl>(*this, def));
}

CPage::~CPage() = default;

CModuleBase* CPage::Module() const {
    for (const CPage* page = this; page; page = page->m_parent) {
        if (page->m_module)
            return page->m_module;
    }
    return nullptr;
}

IPageObserver* CPage::Observer() const {
    for (const CPage* page = this; page; page = page->m_parent) {
        if (page->m_observer)
            return page->m_observer;
    }
    return nullptr;
}

CPageControl* CPage::FindControl(int id) const {
    if (IsSubPageControlId(id)) {
        // The sub-page id fills the high half, so ids of sub-pages from 0x8000 up (the GPIO
        // pins) read as negative numbers: the halves are taken from the unsigned value.
        const auto bits = static_cast<std::uint32_t>(id);
        const CPageControl* holder = FindControl(static_cast<int>(bits >> kSubPageShift));
        if (!holder || !holder->SubPage())
            return nullptr;
        return holder->SubPage()->FindControl(static_cast<int>(bits & 0xFFFFu));
    }
    for (const auto& control : m_controls) {
        if (control->Id() == id && id != kNoControlId)
            return control.get();
    }
    for (const auto& control : m_controls) {
        if (!control->SubPage())
            continue;
        if (CPageControl* found = control->SubPage()->FindControl(id))
            return found;
    }
    return nullptr;
}

CPageControl* CPage::FindControlByText(std::string_view text) const {
    for (const auto& control : m_controls) {
        if (control->SubPage()) {
            if (CPageControl* found = control->SubPage()->FindControlByText(text))
                return found;
            continue;
        }
        if (control->Text() == text)
            return control.get();
    }
    return nullptr;
}

std::vector<IBinding*> CPage::Bindings() const {
    std::vector<IBinding*> bindings;
    for (const auto& control : m_controls) {
        if (auto* binding = dynamic_cast<IBinding*>(control->Handler()))
            bindings.push_back(binding);
    }
    return bindings;
}

std::vector<CModuleSubDlg*> CPage::SubPages() const {
    std::vector<CModuleSubDlg*> pages;
    for (const auto& control : m_controls) {
        if (control->SubPage())
            pages.push_back(static_cast<CModuleSubDlg*>(control->SubPage()));
    }
    return pages;
}

CPageControl* CPage::ControlBefore(const CPageControl& control) const {
    for (std::size_t i = 1; i < m_controls.size(); ++i) {
        if (m_controls[i].get() == &control)
            return m_controls[i - 1].get();
    }
    return nullptr;
}

std::vector<CPageControl*> CPage::RadioGroupOf(const CPageControl& button) const {
    const auto isRadio = [](const CPageControl& c) {
        return c.Kind() == EControlKind::RadioButton;
    };
    auto at = std::find_if(m_controls.begin(), m_controls.end(),
                           [&button](const auto& c) { return c.get() == &button; });
    if (at == m_controls.end() || !isRadio(button))
        return {};
    // Back to the button that starts the group, then forward over its radio buttons.
    while (at != m_controls.begin() && !(*at)->Def().groupStart && isRadio(**std::prev(at)))
        --at;
    std::vector<CPageControl*> group{at->get()};
    for (++at; at != m_controls.end() && isRadio(**at) && !(*at)->Def().groupStart; ++at)
        group.push_back(at->get());
    return group;
}

CModuleSubDlg* CPage::StackSubPage(int placeholderId, const CDialogTemplate& dialogTemplate) {
    auto subPage = std::make_unique<CModuleSubDlg>(dialogTemplate, this);
    subPage->SetVisible(true);
    CModuleSubDlg* placed = subPage.get();
    return InsertSubPage(placeholderId, std::move(subPage)) ? placed : nullptr;
}

bool CPage::InsertSubPage(int placeholderId, std::unique_ptr<CModuleSubDlg> subPage) {
    for (const auto& control : m_controls) {
        // Several placeholders may share a number (repeated heading rows): the first free one
        // takes the sub-page.
        if (control->Id() != placeholderId || control->Kind() != EControlKind::Placeholder ||
            control->m_subPage)
            continue;
        subPage->m_parent = this;
        control->m_subPage = std::move(subPage);
        if (IPageObserver* observer = Observer())
            observer->OnSubPageInserted(*control);
        return true;
    }
    return false;
}

void CPage::Dispatch(CPageControl& control, EControlEvent event) {
    if (IControlHandler* handler = control.Handler())
        handler->OnControlEvent(control, event);
    for (CPage* page = this; page; page = page->m_parent) {
        if (page->m_commandHandler) {
            page->m_commandHandler->OnPageCommand(control, event);
            break;
        }
    }
}

void CPage::UserClick(CPageControl& control) {
    if (control.Kind() == EControlKind::CheckBox) {
        control.SetCheck(control.Check() == 1 ? 0 : 1);
    } else if (control.Kind() == EControlKind::RadioButton) {
        for (CPageControl* other : RadioGroupOf(control))
            other->SetCheck(other == &control ? 1 : 0);
    }
    Dispatch(control, EControlEvent::Clicked);
}

void CPage::UserSelect(CPageControl& control, int index) {
    control.SetSelection(index);
    Dispatch(control, EControlEvent::SelectionChanged);
}

void CPage::UserEdit(CPageControl& control, std::string text) {
    control.SetText(std::move(text));
    Dispatch(control, EControlEvent::TextChanged);
}

void CPage::UserSpin(CPageControl& upDown, int delta) {
    CPageControl* buddy = ControlBefore(upDown);
    if (upDown.Kind() != EControlKind::UpDown || !buddy || !buddy->IsEnabled())
        return;
    UserEdit(*buddy, UpDownBuddyText(buddy->Text(), delta, upDown.Low(), upDown.High()));
}

void CPage::UserFollowLink(CPageControl& hyperlink) {
    CModuleBase* module = Module();
    if (!module)
        return;
    const tAnchor anchor = SplitAnchor(hyperlink.Text());
    module->FollowLink(anchor.link, module->Title() + ": " + anchor.text);
}

void CPage::UserFocus(CPageControl* control) {
    // The focus is one per page window: sub-pages leave it to the page that holds them.
    if (m_parent) {
        m_parent->UserFocus(control);
        return;
    }
    if (control == m_focused)
        return;
    CPageControl* previous = m_focused;
    m_focused = control;
    if (previous)
        previous->Page().Dispatch(*previous, EControlEvent::FocusLost);
    if (control)
        control->Page().Dispatch(*control, EControlEvent::FocusGained);
}

void CPage::ShowToolTip(CPageControl& control, const std::string& text, const std::string& title) {
    if (IPageObserver* observer = Observer()) {
        observer->OnFocusRequested(control);
        observer->OnToolTip(control, text, title);
    }
}

void CPage::EnableControl(int id, bool enable) {
    if (CPageControl* control = FindControl(id))
        control->Enable(enable);
}

void CPage::EnableControls(std::initializer_list<int> ids, bool enable) {
    for (int id : ids)
        EnableControl(id, enable);
}

void CPage::ShowControl(int id, bool show) {
    if (CPageControl* control = FindControl(id))
        control->Show(show);
}

void CPage::ShowControls(std::initializer_list<int> ids, bool show) {
    for (int id : ids)
        ShowControl(id, show);
}

void CPage::SetControlText(int id, std::string text) {
    if (CPageControl* control = FindControl(id))
        control->SetText(std::move(text));
}

void CPage::SetCtrlTextColor(int id, std::optional<tColour> colour) {
    if (IsSubPageControlId(id))
        return;
    if (CPageControl* control = FindControl(id))
        control->SetTextColour(colour);
}

void CPage::SetCtrlBkColor(int id, std::optional<tColour> colour) {
    if (IsSubPageControlId(id))
        return;
    if (CPageControl* control = FindControl(id))
        control->SetBackColour(colour);
}

void CPage::ShowIndicator(int id, bool active, const char* message) {
    CPageControl* indicator = FindControl(id);
    if (!indicator)
        return;
    const bool hasMessage = message && *message;
    if (hasMessage)
        indicator->SetText(message);
    indicator->Show(active || hasMessage);
}

void CPage::SetSpinRange(int id, std::int32_t low, std::int32_t high) {
    if (CPageControl* control = FindControl(id))
        control->SetRange(low, high);
}
