#include "ui/page/FormRowLabel.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

#include "model/Page.h"

namespace hwc::ui::page {

CFormRowLabel::CFormRowLabel(QWidget* label, const CPageControl& labelControl,
                             std::vector<QWidget*> fields)
    : QObject(label), m_label(label), m_labelControl(labelControl), m_fields(std::move(fields)) {
    m_label->installEventFilter(this);
    for (QWidget* field : m_fields)
        field->installEventFilter(this);
    Update();
}

bool CFormRowLabel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
        Update();
    return false;
}

void CFormRowLabel::Update() {
    const bool fieldShown =
        std::any_of(m_fields.begin(), m_fields.end(), [](QWidget* w) { return !w->isHidden(); });
    const bool shown = m_labelControl.IsVisible() && fieldShown;
    // Only a change is applied, so the show and hide events this causes end here.
    if (m_label->isHidden() == shown)
        m_label->setVisible(shown);
}

} // namespace hwc::ui::page
