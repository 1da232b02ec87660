#include "ui/frame/SplashWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/frame/AppIcon.h"

CSplashDlg::CSplashDlg(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("SplashWindow");
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(hwc::ui::AppIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(QStringLiteral("K7Q400R/EX Hexaform"), this);
    QFont font = title->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    auto* subtitle = new QLabel(QStringLiteral("Loading the project..."), this);
    subtitle->setAlignment(Qt::AlignCenter);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addWidget(m_progress);
    setFixedSize(360, 200);
}

void CSplashDlg::Show() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    Repaint();
}

void CSplashDlg::SetProgress(int position, int range) {
    m_progress->setRange(0, range > 0 ? range : 1);
    m_progress->setValue(std::clamp(position, 0, m_progress->maximum()));
    if (isVisible())
        Repaint();
}

void CSplashDlg::Repaint() {
    repaint();
    // Paint events only: the user's input waits until the project is open.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
