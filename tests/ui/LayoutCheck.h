#pragma once
// What makes a drawn page hard to read: a visible control squeezed below its minimum width, or
// two visible siblings on top of each other. One line per problem.

#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <string>
#include <vector>

namespace uitest {

inline std::string WidgetName(const QWidget* widget) {
    std::string name = widget->metaObject()->className();
    if (!widget->objectName().isEmpty())
        name += " " + widget->objectName().toStdString();
    return name;
}

inline std::vector<std::string> LayoutProblems(const QScrollArea& page) {
    std::vector<std::string> problems;
    const QList<QWidget*> widgets = page.widget()->findChildren<QWidget*>();
    for (const QWidget* widget : widgets) {
        if (!widget->isVisible() || widget->isWindow())
            continue;
        if (widget->width() < widget->minimumSizeHint().width())
            problems.push_back(WidgetName(widget) + " is narrower than it needs");
        for (const QWidget* other : widgets) {
            if (other <= widget || !other->isVisible() ||
                other->parentWidget() != widget->parentWidget())
                continue;
            if (widget->geometry().intersects(other->geometry()))
                problems.push_back(WidgetName(widget) + " overlaps " + WidgetName(other));
        }
    }
    if (page.horizontalScrollBar()->isVisible())
        problems.push_back("the page scrolls sideways");
    return problems;
}

} // namespace uitest
