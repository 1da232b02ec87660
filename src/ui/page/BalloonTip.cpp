#include "ui/page/BalloonTip.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QVBoxLayout>

namespace hwc::ui::page {
namespace {

constexpr int kCursorPollMs = 200;

bool ClosesBalloon(const QEvent& event) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        return true;
    case QEvent::MouseButtonRelease:
        // Releasing the left button (the end of the click that asked for the balloon) keeps it.
        return static_cast<const QMouseEvent&>(event).button() != Qt::LeftButton;
    default:
        return false;
    }
}

} // namespace

CBalloonTip::CBalloonTip(const QString& title, const QString& text, const QPoint& tip,
                         QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ToolTipText));
    setPalette(palette);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    if (!title.isEmpty()) {
        auto* heading = new QLabel(title);
        QFont font = heading->font();
        font.setBold(true);
        heading->setFont(font);
        heading->setTextFormat(Qt::PlainText);
        layout->addWidget(heading);
    }
    auto* body = new QLabel(text);
    body->setTextFormat(Qt::PlainText);
    body->setWordWrap(text.size() > 60);
    body->setMaximumWidth(420);
    layout->addWidget(body);
    adjustSize();

    // Keep the balloon on the screen of its control.
    QPoint at = tip;
    if (const QScreen* screen = QApplication::screenAt(tip)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() - width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - height())));
    }
    move(at);

    m_lifetime.setSingleShot(true);
    connect(&m_lifetime, &QTimer::timeout, this, &QWidget::close);
    m_lifetime.start(kLifetimeMs);
    // Mouse moves over widgets that do not track the mouse send no events: the cursor is watched.
    m_cursor = QCursor::pos();
    connect(&m_cursorWatch, &QTimer::timeout, this, [this] {
        if (ClosesOnMouseMove() && QCursor::pos() != m_cursor)
            close();
    });
    m_cursorWatch.start(kCursorPollMs);
    m_shown.start();
    qApp->installEventFilter(this);
    show();
}

CBalloonTip::~CBalloonTip() {
    qApp->removeEventFilter(this);
}

bool CBalloonTip::eventFilter(QObject* /*watched*/, QEvent* event) {
    // Only the event is looked at: the filter sees the events of every object of the program,
    // including objects of other libraries that are still being made or taken down, on which no
    // call may be made. A mouse event reaches a window before its widget; closing twice is
    // harmless.
    if (ClosesBalloon(*event) || (event->type() == QEvent::MouseMove && ClosesOnMouseMove()))
        close();
    return false;
}

void CBalloonTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

} // namespace hwc::ui::page
