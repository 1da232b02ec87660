#include "ui/frame/GroupPage.h"

#include <QLabel>
#include <QVBoxLayout>

#include "project/ModuleTree.h"

CGroupPage::CGroupPage(const CModuleTreeItem& group, QWidget* parent)
    : QScrollArea(parent), m_group(group) {
    setObjectName("GroupPage");
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    auto* title = new QLabel(QString::fromStdString(group.Text()).toHtmlEscaped(), content);
    title->setTextFormat(Qt::RichText);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    layout->addWidget(title);
    for (std::size_t i = 0; i < group.ChildCount(); ++i) {
        const QString text = QString::fromStdString(group.Child(i).Text()).toHtmlEscaped();
        auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(i).arg(text), content);
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        link->setFocusPolicy(Qt::StrongFocus);
        connect(link, &QLabel::linkActivated, this,
                [this](const QString& href) { FollowChild(href.toInt()); });
        layout->addWidget(link);
        ++m_links;
    }
    layout->addStretch(1);
    setWidget(content);
}

void CGroupPage::FollowChild(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_group.ChildCount())
        return;
    emit childActivated(&m_group.Child(static_cast<std::size_t>(index)));
}
