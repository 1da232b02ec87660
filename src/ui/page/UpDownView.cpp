// The up-down control: a pair of small arrows beside its buddy field. An arrow, or the Up and
// Down keys in the buddy, steps the buddy's value through the page.
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

#include "ui/page/ControlView.h"

namespace hwc::ui::page {
namespace {

// Catches the arrow keys in the buddy field.
class CBuddyKeys final : public QObject {
public:
    CBuddyKeys(QObject* parent, std::function<void(int)> step)
        : QObject(parent), m_step(std::move(step)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down)
            return false;
        m_step(key == Qt::Key_Up ? 1 : -1);
        return true;
    }

private:
    std::function<void(int)> m_step;
};

class CUpDownView final : public CControlView {
public:
    explicit CUpDownView(CPageControl& control) : CControlView(control) {
        auto* box = new QWidget;
        box->setFocusPolicy(Qt::NoFocus);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        AddArrow(layout, Qt::UpArrow, 1);
        AddArrow(layout, Qt::DownArrow, -1);
        SetWidget(box);
    }

    void Connect(CControlView* previous) override {
        if (!previous || !previous->FocusWidget() ||
            previous->Control().Kind() == EControlKind::UpDown)
            return;
        QWidget* buddy = previous->FocusWidget();
        buddy->installEventFilter(new CBuddyKeys(Widget(), [this](int delta) { Step(delta); }));
        // The arrows sit right against their field.
        Widget()->setFixedHeight(buddy->sizeHint().height());
    }

    // Arrows of a disabled field would change a value the user cannot edit.
    bool EnabledNow() const override {
        const CPageControl* buddy = Page().ControlBefore(Control());
        return Control().IsEnabled() && (!buddy || buddy->IsEnabled());
    }

private:
    void AddArrow(QVBoxLayout* layout, Qt::ArrowType arrow, int delta) {
        auto* button = new QToolButton;
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        // Two arrows share the height of one field; their width is what the style needs.
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
        layout->addWidget(button);
        QObject::connect(button, &QToolButton::clicked, button, [this, delta] { Step(delta); });
    }

    void Step(int delta) {
        if (EnabledNow())
            Page().UserSpin(Control(), delta);
    }
};

} // namespace

std::unique_ptr<CControlView> MakeUpDownView(CPageControl& control) {
    return std::make_unique<CUpDownView>(control);
}

} // namespace hwc::ui::page
