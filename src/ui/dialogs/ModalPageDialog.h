#pragma once
// The desktop's modal dialog for a modal page of the core (the PWM wizards): the page drawn by
// the same renderer as module pages, with Apply and Cancel. Apply closes the dialog only when
// the page takes its values; Cancel and the window's close button leave everything as it was.

#include <QDialog>

#include "model/ModalPage.h"

class CPageWidget;
class QPushButton;

class CModalPageDialog : public QDialog {
    Q_OBJECT
public:
    explicit CModalPageDialog(CModalPage& page, QWidget* parent = nullptr);

    CPageWidget* PageWidget() const { return m_pageWidget; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* CancelButton() const { return m_cancel; }

private:
    void OnApply();

    CModalPage& m_page;
    CPageWidget* m_pageWidget = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};

namespace hwc::ui {

// Runs every modal page of the core as a CModalPageDialog over the active window.
class CQtModalPageRunner : public hwc::IModalPageRunner {
public:
    CModalPage::EResult Run(CModalPage& page) override;
};

} // namespace hwc::ui
