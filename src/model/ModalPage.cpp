#include "model/ModalPage.h"

#include <cassert>

// One control bound to one value of the page's owner.
class CModalPage::CValueBinding : public IControlHandler {
public:
    enum class EKind { Text, Choice, Check };

    CValueBinding(EKind kind, void* value) : m_kind(kind), m_value(value) {}

    void Attach(CPageControl& control) {
        m_control = &control;
        control.SetHandler(this);
        Refresh();
    }

    void Refresh() {
        if (!m_control)
            return;
        switch (m_kind) {
        case EKind::Text:
            m_control->SetText(*static_cast<std::string*>(m_value));
            break;
        case EKind::Choice:
            m_control->SetSelection(*static_cast<int*>(m_value));
            break;
        case EKind::Check:
            m_control->SetCheck(*static_cast<bool*>(m_value) ? 1 : 0);
            break;
        }
    }

    void OnControlEvent(CPageControl& control, EControlEvent event) override {
        switch (m_kind) {
        case EKind::Text:
            if (event == EControlEvent::TextChanged)
                *static_cast<std::string*>(m_value) = control.Text();
            break;
        case EKind::Choice:
            if (event == EControlEvent::SelectionChanged)
                *static_cast<int*>(m_value) = control.Selection();
            break;
        case EKind::Check:
            if (event == EControlEvent::Clicked)
                *static_cast<bool*>(m_value) = control.Check() == 1;
            break;
        }
    }

    void OnControlDestroyed(CPageControl& control) override {
        if (m_control == &control)
            m_control = nullptr;
    }

private:
    EKind m_kind;
    void* m_value;
    CPageControl* m_control = nullptr;
};

CModalPage::CModalPage(const CDialogTemplate& dialogTemplate, std::string title)
    : m_title(std::move(title)), m_page(std::make_unique<CPage>(dialogTemplate)) {
    m_page->SetCommandHandler(this);
}

CModalPage::~CModalPage() = default;

void CModalPage::Bind(int controlId, std::unique_ptr<CValueBinding> binding) {
    CPageControl* control = m_page->FindControl(controlId);
    assert(control && "a bound control must exist in the template");
    if (!control)
        return;
    binding->Attach(*control);
    m_bindings.push_back(std::move(binding));
}

void CModalPage::BindText(int controlId, std::string& value) {
    Bind(controlId, std::make_unique<CValueBinding>(CValueBinding::EKind::Text, &value));
}

void CModalPage::BindChoice(int controlId, int& value) {
    Bind(controlId, std::make_unique<CValueBinding>(CValueBinding::EKind::Choice, &value));
}

void CModalPage::BindCheck(int controlId, bool& value) {
    Bind(controlId, std::make_unique<CValueBinding>(CValueBinding::EKind::Check, &value));
}

void CModalPage::RefreshControls() {
    for (auto& binding : m_bindings)
        binding->Refresh();
}

bool CModalPage::Apply() {
    if (m_applied)
        return true;
    m_applied = OnApply();
    return m_applied;
}

void CModalPage::OnPageCommand(CPageControl& control, EControlEvent event) {
    if (event == EControlEvent::TextChanged || event == EControlEvent::SelectionChanged ||
        event == EControlEvent::Clicked)
        OnValuesChanged();
}

namespace hwc {

namespace {
IModalPageRunner* g_runner = nullptr;
} // namespace

IModalPageRunner* SetModalPageRunner(IModalPageRunner* runner) {
    IModalPageRunner* previous = g_runner;
    g_runner = runner;
    return previous;
}

CModalPage::EResult RunModalPage(CModalPage& page) {
    if (!g_runner)
        return CModalPage::EResult::Cancel;
    const CModalPage::EResult answer = g_runner->Run(page);
    // A runner cannot apply a page that refused its values.
    return answer == CModalPage::EResult::Apply ? page.Result() : CModalPage::EResult::Cancel;
}

} // namespace hwc
