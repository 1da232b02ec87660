#include "ui/bars/InfoView.h"

#include <QFormLayout>
#include <QLabel>

#include "modules/framework/CModule.h"
#include "project/ProjDoc.h"

namespace {

// Hints after which the texts are read again: the general refresh and a change of the clocks.
constexpr int kHintAll = 0;
constexpr int kHintClocksChanged = 26;

QString ClockText(float megahertz) {
    return megahertz > 0 ? QString::asprintf("%.3f MHz", static_cast<double>(megahertz))
                         : QStringLiteral("n/a");
}

} // namespace

CInfoView::CInfoView(QWidget* parent) : QWidget(parent) {
    setWindowTitle("Information");
    auto* layout = new QFormLayout(this);
    m_target = new QLabel(this);
    m_sysClock = new QLabel(this);
    m_busClock = new QLabel(this);
    for (QLabel* label : {m_target, m_sysClock, m_busClock})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addRow("Target:", m_target);
    layout->addRow("SYS Clock:", m_sysClock);
    layout->addRow("IPBus Clock:", m_busClock);
    Refresh();
}

CInfoView::~CInfoView() = default;

void CInfoView::SetDocument(CProjDoc* document) {
    m_document.Set(document);
    Refresh();
}

void CInfoView::OnDocumentUpdate(int hint, CModuleBase* /*sender*/, const void* /*object*/) {
    // The idle pass after opening a project also refreshes, so the panel never waits for a
    // general refresh that the window may not send.
    if (hint == kHintAll || hint == kHintClocksChanged || hint == hwc::kHintIdle)
        Refresh();
}

QString CInfoView::TargetText() const {
    return m_target->text();
}

QString CInfoView::SysClockText() const {
    return m_sysClock->text();
}

QString CInfoView::BusClockText() const {
    return m_busClock->text();
}

void CInfoView::Refresh() {
    const CModule* clock = nullptr;
    QString target;
    if (m_document) {
        target = QString::fromStdString(m_document->Processor().processorName);
        clock = dynamic_cast<const CModule*>(m_document->FindModule("OCCS", "OCCS"));
    }
    m_target->setText(target);
    // The clock module publishes the bus clock and, as its other clock, the system clock.
    m_sysClock->setText(ClockText(clock ? clock->PublishedCoreClock() : 0.0f));
    m_busClock->setText(ClockText(clock ? clock->PublishedBusClock() : 0.0f));
}
