#include "ui/frame/UnselectedBanner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

CUnselectedBanner::CUnselectedBanner(QWidget* parent) : QFrame(parent) {
    setObjectName("UnselectedBanner");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 244, 206));
    colours.setColor(QPalette::WindowText, QColor(60, 45, 0));
    setPalette(colours);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    m_label = new QLabel(QStringLiteral("This module is not written to the header."), this);
    m_label->setWordWrap(true);
    m_button = new QPushButton(QStringLiteral("Write It to the Header"), this);
    m_button->setToolTip(QStringLiteral("Tick the module in the tree, so that saving writes it"));
    layout->addWidget(m_label, 1);
    layout->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, &CUnselectedBanner::includeRequested);
    hide();
}
