#include "ui/page/PageWidget.h"

#include <QApplication>
#include <QLayout>
#include <QListWidget>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

#include "ui/page/BalloonTip.h"
#include "ui/page/ControlView.h"
#include "ui/page/PageLayoutBuilder.h"
#include "ui/page/PageText.h"

using hwc::ui::page::CBalloonTip;
using hwc::ui::page::CControlView;

namespace {

// The balloon's tip sits this far right of the control's left edge.
constexpr int kBalloonOffset = 8;

// Moves the scroll bar by the least amount that shows [start, end) in a view of that extent;
// when the range is larger than the view, its start wins.
void ScrollAxis(QScrollBar* bar, int start, int end, int extent) {
    int position = bar->value();
    if (end > position + extent)
        position = end - extent;
    if (start < position)
        position = start;
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
}

} // namespace

CPageWidget::CPageWidget(CPage& page, QWidget* parent) : QScrollArea(parent), m_page(page) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    m_content = new QWidget;
    BuildPage(page, m_content);
    setWidget(m_content);
    UpdateTabOrder();
    m_page.SetObserver(this);
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this,
                                [this](QWidget* old, QWidget* now) { OnFocusChanged(old, now); });
}

CPageWidget::~CPageWidget() {
    disconnect(m_focusConnection);
    if (m_page.Observer() == this)
        m_page.SetObserver(nullptr);
    delete m_balloon.data();
    // The widgets go before their views, and nothing they report on the way reaches the page.
    for (const auto& [control, view] : m_views) {
        if (view->Widget())
            view->Widget()->blockSignals(true);
    }
    delete takeWidget();
}

QWidget* CPageWidget::WidgetFor(int controlId) const {
    const CPageControl* control = m_page.FindControl(controlId);
    return control ? WidgetFor(*control) : nullptr;
}

QWidget* CPageWidget::WidgetFor(const CPageControl& control) const {
    const CControlView* view = ViewOf(&control);
    return view ? view->Widget() : nullptr;
}

QWidget* CPageWidget::OpenBalloon() const {
    return m_balloon.data();
}

void CPageWidget::ScrollToControl(int controlId) {
    ScrollToWidget(WidgetFor(controlId));
}

CControlView* CPageWidget::ViewOf(const CPageControl* control) const {
    const auto found = m_views.find(control);
    return found == m_views.end() ? nullptr : found->second.get();
}

CControlView& CPageWidget::MakeView(CPageControl& control) {
    if (CControlView* view = ViewOf(&control))
        return *view;
    auto made = hwc::ui::page::MakeControlView(control);
    CControlView& view = *made;
    m_views.emplace(&control, std::move(made));
    m_widgetControls.emplace(view.Widget(), &control);
    // The wheel scrolls the page rather than the value of a combo box under the mouse; a list
    // box scrolls its own entries.
    if (!qobject_cast<QListWidget*>(view.Widget()))
        view.Widget()->installEventFilter(this);
    return view;
}

void CPageWidget::BuildPage(CPage& page, QWidget* container) {
    hwc::ui::page::BuildPageLayout(page, container, [this](CPageControl& control) -> CControlView& {
        return MakeView(control);
    });
    for (const auto& control : page.Controls()) {
        CControlView* view = ViewOf(control.get());
        if (!view)
            continue;
        view->Connect(ViewOf(page.ControlBefore(*control)));
        view->Refresh();
        if (control->SubPage())
            OnSubPageInserted(*control);
    }
}

void CPageWidget::OnControlChanged(CPageControl& control) {
    CControlView* view = ViewOf(&control);
    if (!view)
        return;
    view->Refresh();
    // An up-down control follows the enabled state of its buddy.
    const auto& controls = control.Page().Controls();
    const auto at = std::find_if(controls.begin(), controls.end(),
                                 [&control](const auto& c) { return c.get() == &control; });
    if (at != controls.end() && std::next(at) != controls.end() &&
        (*std::next(at))->Kind() == EControlKind::UpDown) {
        if (CControlView* upDown = ViewOf(std::next(at)->get()))
            upDown->Refresh();
    }
}

void CPageWidget::OnSubPageInserted(CPageControl& placeholder) {
    CControlView* view = ViewOf(&placeholder);
    if (!view || !view->ChildContainer() || !placeholder.SubPage())
        return;
    auto* host = new QWidget;
    BuildPage(*placeholder.SubPage(), host);
    view->ChildContainer()->layout()->addWidget(host);
    UpdateTabOrder();
}

void CPageWidget::OnFocusRequested(CPageControl& control) {
    // The control named takes the focus itself, even a derived value or an indicator label that
    // Tab passes by, so the user sees what a warning or a refused value is about.
    if (QWidget* own = OwnFocusTarget(control)) {
        if (own->focusPolicy() == Qt::NoFocus)
            own->setFocusPolicy(Qt::ClickFocus);
        own->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Hidden or disabled: the next control in dialog order that Tab would reach.
    const std::vector<CPageControl*> order = hwc::ui::page::ControlsInDialogOrder(m_page);
    auto at = std::find(order.begin(), order.end(), &control);
    for (; at != order.end(); ++at) {
        const CControlView* view = ViewOf(*at);
        QWidget* widget = view ? view->FocusWidget() : nullptr;
        if (!widget || !widget->isEnabled() || !widget->isVisibleTo(m_content) ||
            !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        widget->setFocus(Qt::OtherFocusReason);
        return;
    }
}

QWidget* CPageWidget::OwnFocusTarget(const CPageControl& control) const {
    const CControlView* view = ViewOf(&control);
    if (!view)
        return nullptr;
    QWidget* widget = view->FocusWidget();
    if (!widget &&
        (control.Kind() == EControlKind::Static || control.Kind() == EControlKind::ReadOnlyEdit))
        widget = view->Widget();
    if (!widget || !widget->isEnabled() || !widget->isVisibleTo(m_content))
        return nullptr;
    return widget;
}

void CPageWidget::OnToolTip(CPageControl& control, const std::string& text,
                            const std::string& title) {
    CloseBalloon();
    QWidget* widget = WidgetFor(control);
    if (!widget)
        return;
    ScrollToWidget(widget);
    if (text.empty() || !widget->isVisible())
        return;
    const QPoint tip = widget->mapToGlobal(QPoint(kBalloonOffset, widget->height() / 2));
    m_balloon = new CBalloonTip(hwc::ui::page::ToQt(title), hwc::ui::page::ToQt(text), tip, this);
}

void CPageWidget::CloseBalloon() {
    if (m_balloon)
        m_balloon->close();
}

void CPageWidget::ScrollToWidget(QWidget* widget) {
    if (!widget || !m_content->isAncestorOf(widget))
        return;
    // Pending layout work (a sub-page just inserted, a control just shown) settles first, so
    // the control's place is known.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QRect area(widget->mapTo(m_content, QPoint(0, 0)), widget->size());
    ScrollAxis(horizontalScrollBar(), area.left(), area.right() + 1, viewport()->width());
    ScrollAxis(verticalScrollBar(), area.top(), area.bottom() + 1, viewport()->height());
}

void CPageWidget::scrollContentsBy(int dx, int dy) {
    CloseBalloon();
    QScrollArea::scrollContentsBy(dx, dy);
}

bool CPageWidget::eventFilter(QObject* watched, QEvent* event) {
    // The scroll area watches its own scroll bars too: only the controls' wheel is redirected.
    if (event->type() == QEvent::Wheel && watched->isWidgetType() &&
        m_widgetControls.count(static_cast<QWidget*>(watched))) {
        QCoreApplication::sendEvent(verticalScrollBar(), event);
        return true;
    }
    return QScrollArea::eventFilter(watched, event);
}

void CPageWidget::UpdateTabOrder() {
    QWidget* previous = nullptr;
    for (const CPageControl* control : hwc::ui::page::ControlsInDialogOrder(m_page)) {
        const CControlView* view = ViewOf(control);
        QWidget* widget = view ? view->FocusWidget() : nullptr;
        if (!widget)
            continue;
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

CPageControl* CPageWidget::ControlOfWidget(const QWidget* widget) const {
    for (; widget && widget != m_content; widget = widget->parentWidget()) {
        const auto found = m_widgetControls.find(widget);
        if (found != m_widgetControls.end())
            return found->second;
    }
    return nullptr;
}

void CPageWidget::OnFocusChanged(QWidget* old, QWidget* now) {
    // A combo box's list opening takes the focus for a moment; the control keeps it.
    if (now && now->window()->windowType() == Qt::Popup)
        return;
    if (CPageControl* gained = ControlOfWidget(now)) {
        m_page.UserFocus(gained);
        return;
    }
    if (ControlOfWidget(old))
        m_page.UserFocus(nullptr);
}
