#pragma once
// The desktop drawing of one module page: the page's controls as Qt widgets, arranged by its
// dialog template and kept in step with the page model both ways. User actions go to the page's
// User... events; model changes come back through IPageObserver and are copied into the widgets
// with their signals blocked, so the bindings only ever hear the user.

#include <QPointer>
#include <QScrollArea>

#include <memory>
#include <unordered_map>
#include <vector>

#include "model/Page.h"

class QWidget;

namespace hwc::ui::page {
class CControlView;
class CBalloonTip;
} // namespace hwc::ui::page

class CPageWidget : public QScrollArea, private IPageObserver {
    Q_OBJECT
public:
    explicit CPageWidget(CPage& page, QWidget* parent = nullptr);
    ~CPageWidget() override;

    CPage& Page() const { return m_page; }
    // The widget drawing the control with that id (sub-page controls as sub-page id x 0x10000 +
    // id), or null.
    QWidget* WidgetFor(int controlId) const;
    // Scrolls by the smallest amount that brings the control into view.
    void ScrollToControl(int controlId);

    // The widget drawing that control, or null (for renderers and tests).
    QWidget* WidgetFor(const CPageControl& control) const;
    // The balloon tool-tip currently open, or null.
    QWidget* OpenBalloon() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // IPageObserver
    void OnControlChanged(CPageControl& control) override;
    void OnSubPageInserted(CPageControl& placeholder) override;
    void OnFocusRequested(CPageControl& control) override;
    void OnToolTip(CPageControl& control, const std::string& text,
                   const std::string& title) override;

    // Builds the widgets of a page (or sub-page) into the container, recursing into sub-pages
    // already in place.
    void BuildPage(CPage& page, QWidget* container);
    void ScrollToWidget(QWidget* widget);
    // The widget of the control itself when it can hold the focus (labels and derived values
    // included), or null when it is hidden, disabled or a container.
    QWidget* OwnFocusTarget(const CPageControl& control) const;
    void CloseBalloon();
    void UpdateTabOrder();
    void OnFocusChanged(QWidget* old, QWidget* now);
    // The control a widget (or a widget inside it) draws, or null.
    CPageControl* ControlOfWidget(const QWidget* widget) const;
    hwc::ui::page::CControlView* ViewOf(const CPageControl* control) const;
    hwc::ui::page::CControlView& MakeView(CPageControl& control);

    CPage& m_page;
    QWidget* m_content = nullptr;
    std::unordered_map<const CPageControl*, std::unique_ptr<hwc::ui::page::CControlView>> m_views;
    std::unordered_map<const QWidget*, CPageControl*> m_widgetControls;
    QPointer<hwc::ui::page::CBalloonTip> m_balloon;
    QMetaObject::Connection m_focusConnection;
};
