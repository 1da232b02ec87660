// Check boxes, radio buttons, push buttons and group boxes.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/page/ControlView.h"
#include "ui/page/PageText.h"

namespace hwc::ui::page {
namespace {

// After a click the model decides the check state (a binding may refuse it, a radio group is
// the model's), so the widget is set back from the model at once.
class CCheckView final : public CControlView {
public:
    explicit CCheckView(CPageControl& control) : CControlView(control) {
        if (control.Kind() == EControlKind::RadioButton) {
            auto* radio = new QRadioButton;
            // The page's radio groups follow the template, not the widgets' common parent.
            radio->setAutoExclusive(false);
            m_button = radio;
        } else {
            m_button = new QCheckBox;
        }
        SetWidget(m_button);
        QObject::connect(m_button, &QAbstractButton::clicked, m_button, [this] {
            Page().UserClick(Control());
            Refresh();
        });
    }

protected:
    void RefreshContent() override {
        m_button->setText(ToQt(Control().Text()));
        if (auto* box = qobject_cast<QCheckBox*>(m_button)) {
            const int check = Control().Check();
            box->setTristate(check == 2);
            box->setCheckState(check == 2   ? Qt::PartiallyChecked
                               : check == 1 ? Qt::Checked
                                            : Qt::Unchecked);
            return;
        }
        m_button->setChecked(Control().Check() == 1);
    }

private:
    QAbstractButton* m_button;
};

class CPushButtonView final : public CControlView {
public:
    explicit CPushButtonView(CPageControl& control) : CControlView(control) {
        auto* button = new QPushButton;
        SetWidget(button);
        QObject::connect(button, &QPushButton::clicked, button,
                         [this] { Page().UserClick(Control()); });
    }

protected:
    void RefreshContent() override {
        static_cast<QPushButton*>(Widget())->setText(ToQt(Control().Text()));
    }
};

class CGroupBoxView final : public CControlView {
public:
    explicit CGroupBoxView(CPageControl& control) : CControlView(control) {
        SetWidget(new QGroupBox);
    }
    QWidget* ChildContainer() const override { return Widget(); }

protected:
    void RefreshContent() override {
        static_cast<QGroupBox*>(Widget())->setTitle(ToQt(Control().Text()));
    }
};

} // namespace

std::unique_ptr<CControlView> MakeButtonView(CPageControl& control) {
    switch (control.Kind()) {
    case EControlKind::PushButton:
        return std::make_unique<CPushButtonView>(control);
    case EControlKind::GroupBox:
        return std::make_unique<CGroupBoxView>(control);
    default:
        return std::make_unique<CCheckView>(control);
    }
}

} // namespace hwc::ui::page
