#pragma once
// One control of a page drawn as a Qt widget. Each kind of control has a small view that turns
// the widget's user signals into the page's User... events and copies the control's state back
// into the widget with the widget's signals blocked.

#include <QPalette>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "model/Page.h"

namespace hwc::ui::page {

class CControlView {
public:
    explicit CControlView(CPageControl& control) : m_control(control) {}
    virtual ~CControlView() = default;
    CControlView(const CControlView&) = delete;
    CControlView& operator=(const CControlView&) = delete;

    CPageControl& Control() const { return m_control; }
    // The widget placed in the page's layout.
    QWidget* Widget() const { return m_widget; }
    // The widget that takes the keyboard focus for this control, or null when it takes none.
    virtual QWidget* FocusWidget() const;
    // Where the nodes inside a group box or the widgets of an inserted sub-page go, or null.
    virtual QWidget* ChildContainer() const { return nullptr; }
    // Copies the control's state (visibility, enabled state, colours, content) into the widget
    // without letting the widget report it as a user action.
    void Refresh();
    // Called once every view of the page exists: the up-down control finds its buddy here.
    virtual void Connect(CControlView* previous) {}
    // Whether the widget's enabled state also depends on another control (an up-down's buddy).
    virtual bool EnabledNow() const { return m_control.IsEnabled(); }

protected:
    void SetWidget(QWidget* widget) { m_widget = widget; }
    CPage& Page() const { return m_control.Page(); }
    virtual void RefreshContent() {}
    // The palette before any colour of the control is applied.
    virtual QPalette BasePalette() const { return QPalette(); }

private:
    void RefreshColours();
    // The refused-value message, then the bound setting's description, register and range.
    QString ToolTipText() const;

    CPageControl& m_control;
    QPointer<QWidget> m_widget;
};

// The view for the control's kind, its widget created without a parent.
std::unique_ptr<CControlView> MakeControlView(CPageControl& control);

// Factories of the views per family of kinds.
std::unique_ptr<CControlView> MakeButtonView(CPageControl& control);
std::unique_ptr<CControlView> MakeTextView(CPageControl& control);
std::unique_ptr<CControlView> MakeListView(CPageControl& control);
std::unique_ptr<CControlView> MakeUpDownView(CPageControl& control);
std::unique_ptr<CControlView> MakePlaceholderView(CPageControl& control);
std::unique_ptr<CControlView> MakeGraphView(CPageControl& control);

} // namespace hwc::ui::page
