#include "ui/bars/BarRegsView.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "model/ModuleBase.h"
#include "project/ProjDoc.h"
#include "project/RegistersList.h"
#include "ui/bars/RegisterRowWidget.h"

using hwc::ui::CRegisterRowWidget;

namespace {

// Update hints the bar follows besides those named in DocumentObserver.h.
constexpr int kHintModuleSelected = 3;
constexpr int kHintModuleRowsChanged = 25;

bool IsValueHint(int hint) {
    return (hint >= 10 && hint <= 12) || (hint >= 20 && hint <= 23);
}

QFrame* MakeSeparator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

CBarRegsView::CBarRegsView(QWidget* parent) : QWidget(parent) {
    setWindowTitle("Registers");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(m_scroll);

    m_content = new QWidget(m_scroll);
    auto* contentLayout = new QVBoxLayout(m_content);
    contentLayout->setContentsMargins(0, 2, 0, 5);
    contentLayout->setSpacing(0);
    m_empty = new QLabel("No control registers for current module", m_content);
    m_empty->setContentsMargins(4, 4, 4, 4);
    contentLayout->addWidget(m_empty);
    m_rowsLayout = new QVBoxLayout;
    m_rowsLayout->setSpacing(0);
    contentLayout->addLayout(m_rowsLayout);
    contentLayout->addStretch(1);
    m_scroll->setWidget(m_content);
    m_fields = new QLabel(this);
    m_fields->setObjectName("registerFields");
    m_fields->setTextFormat(Qt::PlainText);
    m_fields->setWordWrap(true);
    m_fields->setContentsMargins(4, 4, 4, 4);
    m_fields->setFrameShape(QFrame::StyledPanel);
    m_fields->hide();
    layout->addWidget(m_fields);
    RebuildRows();
}

CBarRegsView::~CBarRegsView() = default;

void CBarRegsView::SetDocument(CProjDoc* document) {
    m_document.Set(document);
    m_module = nullptr;
    if (m_document)
        m_module = m_document->Tree().SelectedModule();
    RebuildRows();
}

void CBarRegsView::OnDocumentUpdate(int hint, CModuleBase* sender, const void* /*object*/) {
    if (hint == hwc::kHintIdle || IsValueHint(hint)) {
        RefreshValues();
    } else if (hint == kHintModuleSelected) {
        CModuleBase* module = sender;
        if (!module && m_document)
            module = m_document->Tree().SelectedModule();
        if (module != m_module) {
            m_module = module;
            RebuildRows();
        }
    } else if (hint == kHintModuleRowsChanged) {
        RebuildRows();
    } else if (hint == hwc::kHintProjectCleared) {
        m_module = nullptr;
        RebuildRows();
    }
}

void CBarRegsView::showEvent(QShowEvent* event) {
    // Values may have been saved while the bar was hidden.
    RefreshValues();
    QWidget::showEvent(event);
}

void CBarRegsView::SetShowDecimal(bool decimal) {
    m_decimal = decimal;
    RefreshValues();
}

bool CBarRegsView::ShowsNoRegistersText() const {
    return !m_empty->isHidden();
}

void CBarRegsView::ClearRows() {
    // Deleted later: a row may be rebuilt away while its own Enter is being handled.
    for (CRegisterRowWidget* row : m_rows) {
        row->hide();
        row->deleteLater();
    }
    m_rows.clear();
    // After the rows: a row hidden hands the focus to the next, which would show its fields.
    if (m_fields) {
        m_fields->clear();
        m_fields->hide();
    }
    for (QWidget* extra : m_extras)
        delete extra;
    m_extras.clear();
    while (QLayoutItem* item = m_rowsLayout->takeAt(0))
        delete item;
}

void CBarRegsView::RebuildRows() {
    ClearRows();
    m_scroll->verticalScrollBar()->setValue(0);
    std::vector<tRegisterRow> rows;
    if (m_module && m_document)
        rows = ListRegisters(*m_module, *m_document);

    bool ownSeen = false;
    bool borrowedSeen = false;
    bool userDefinesSeen = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const tRegisterRow& row = rows[i];
        if (row.userDefine && !userDefinesSeen) {
            userDefinesSeen = true;
            m_rowsLayout->addSpacing(33);
            QFrame* line = MakeSeparator(m_content);
            auto* label = new QLabel("User defines (not hardware registers):", m_content);
            label->setContentsMargins(4, 2, 4, 2);
            m_rowsLayout->addWidget(line);
            m_rowsLayout->addWidget(label);
            m_extras << line << label;
        } else if (!row.userDefine && row.borrowed && !borrowedSeen) {
            borrowedSeen = true;
            if (ownSeen) {
                m_rowsLayout->addSpacing(12);
                QFrame* line = MakeSeparator(m_content);
                m_rowsLayout->addWidget(line);
                m_extras << line;
            }
        }
        ownSeen = ownSeen || (!row.userDefine && !row.borrowed);
        auto* widget = new CRegisterRowWidget(row, 1000 + static_cast<int>(i), m_content);
        widget->ShowValue(m_decimal, true);
        widget->Edit()->installEventFilter(this);
        connect(widget, &CRegisterRowWidget::storeRequested, this,
                [this](CRegisterRowWidget* stored) { OnRowStored(*stored); });
        m_rowsLayout->addWidget(widget);
        m_rows << widget;
    }
    m_empty->setVisible(m_rows.isEmpty());
}

void CBarRegsView::RefreshValues() {
    for (CRegisterRowWidget* row : m_rows)
        row->ShowValue(m_decimal);
}

void CBarRegsView::OnRowStored(CRegisterRowWidget& row) {
    if (!m_document || !row.Store(*m_document))
        return;
    // The page shown may list the register without owning it: it reads its registers again.
    CModuleBase* shown = m_document->Tree().SelectedModule();
    if (shown && shown != row.Row().owner)
        shown->RefreshControls();
    RefreshValues();
}

void CBarRegsView::FocusRow(int index) {
    if (index < 0 || index >= m_rows.size())
        return;
    QLineEdit* edit = m_rows[index]->Edit();
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    m_scroll->ensureWidgetVisible(m_rows[index]);
}

bool CBarRegsView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // The register being looked at shows which settings own its bits.
        for (const CRegisterRowWidget* row : m_rows) {
            if (row->Edit() != watched || row->isHidden())
                continue;
            m_fields->setText(hwc::ui::RegisterFieldsText(row->Row()));
            m_fields->show();
        }
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    int index = -1;
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i]->Edit() == watched)
            index = i;
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Up:
        FocusRow(index - 1);
        return true;
    case Qt::Key_Down:
        FocusRow(index + 1);
        return true;
    case Qt::Key_Escape:
        // Drops what was typed.
        m_rows[index]->ShowValue(m_decimal, true);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void CBarRegsView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* toggle = menu.addAction("Toggle Hex/Dec format");
    toggle->setCheckable(true);
    toggle->setChecked(m_decimal);
    if (menu.exec(event->globalPos()) == toggle)
        ToggleHexDec();
}
