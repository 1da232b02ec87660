#pragma once
// The balloon tool-tip a page shows at a control (a link to a control, a warning): a title and
// a text in a small frameless window. It closes itself on a click anywhere, on the mouse wheel or
// a scroll of the page, after 10 seconds, or when the mouse moves once it has been shown 5
// seconds.

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <QWidget>

namespace hwc::ui::page {

class CBalloonTip final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLifetimeMs = 10000;
    static constexpr int kSteadyMs = 5001;

    // Shows the balloon with its tip at the global position.
    CBalloonTip(const QString& title, const QString& text, const QPoint& tip, QWidget* owner);
    ~CBalloonTip() override;

    // Whether a mouse move now closes the balloon.
    bool ClosesOnMouseMove() const { return m_shown.elapsed() >= kSteadyMs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_lifetime;
    QTimer m_cursorWatch;
    QElapsedTimer m_shown;
    QPoint m_cursor;
};

} // namespace hwc::ui::page
