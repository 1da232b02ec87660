#include "ui/page/ControlView.h"

#include <QColor>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "bindings/BindingInfo.h"
#include "bindings/SetCtrl.h"
#include "model/ModuleBase.h"

namespace hwc::ui::page {
namespace {

QColor ToQColor(const tColour& colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

// Colours are given to controls of the page itself only (ids below 0x10000).
constexpr int kFirstSubPageId = 1 << CPage::kSubPageShift;

// An empty box until the module puts a sub-page in its place.
class CPlaceholderView final : public CControlView {
public:
    explicit CPlaceholderView(CPageControl& control) : CControlView(control) {
        auto* box = new QWidget;
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        SetWidget(box);
    }
    QWidget* ChildContainer() const override { return Widget(); }
};

} // namespace

QWidget* CControlView::FocusWidget() const {
    if (!m_widget || m_widget->focusPolicy() == Qt::NoFocus)
        return nullptr;
    return m_widget;
}

void CControlView::Refresh() {
    if (!m_widget)
        return;
    const QSignalBlocker blocker(m_widget);
    m_widget->setHidden(!m_control.IsVisible());
    m_widget->setEnabled(EnabledNow());
    m_widget->setToolTip(ToolTipText());
    RefreshColours();
    RefreshContent();
}

QString CControlView::ToolTipText() const {
    // Why a value is refused comes first; what the control stands for follows.
    QString text = QString::fromStdString(m_control.ToolTip());
    const auto* binding = dynamic_cast<const CSetCtrl*>(m_control.Handler());
    const CModuleBase* module = m_control.Page().Module();
    if (!binding || !module)
        return text;
    const QString help = QString::fromStdString(hwc::BindingToolTip(*binding, *module));
    if (help.isEmpty())
        return text;
    return text.isEmpty() ? help : text + QStringLiteral("\n\n") + help;
}

void CControlView::RefreshColours() {
    QPalette palette = BasePalette();
    const bool coloured = m_control.IsEnabled() && m_control.Id() < kFirstSubPageId;
    const auto& text = m_control.TextColour();
    const auto& back = m_control.BackColour();
    if (coloured && text) {
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, ToQColor(*text));
    }
    if (coloured && back) {
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
            palette.setColor(role, ToQColor(*back));
    }
    m_widget->setPalette(palette);
    // Labels and check boxes paint no background of their own unless asked to.
    m_widget->setAutoFillBackground(coloured && back.has_value());
}

std::unique_ptr<CControlView> MakePlaceholderView(CPageControl& control) {
    return std::make_unique<CPlaceholderView>(control);
}

std::unique_ptr<CControlView> MakeControlView(CPageControl& control) {
    switch (control.Kind()) {
    case EControlKind::CheckBox:
    case EControlKind::RadioButton:
    case EControlKind::PushButton:
    case EControlKind::GroupBox:
        return MakeButtonView(control);
    case EControlKind::Edit:
    case EControlKind::ReadOnlyEdit:
    case EControlKind::Static:
    case EControlKind::Hyperlink:
        return MakeTextView(control);
    case EControlKind::DropList:
    case EControlKind::DropDown:
    case EControlKind::ListBox:
        return MakeListView(control);
    case EControlKind::UpDown:
        return MakeUpDownView(control);
    case EControlKind::Placeholder:
        return MakePlaceholderView(control);
    case EControlKind::Graph:
        return MakeGraphView(control);
    }
    return MakePlaceholderView(control);
}

} // namespace hwc::ui::page
