#pragma once
// The start-up window: the program's name and a progress bar that follows the loading of the
// project's modules. It stays open until the first idle pass of the running program.

#include <QWidget>

#include "project/SplashProgress.h"

class QProgressBar;

class CSplashDlg : public QWidget, public ISplashProgress {
    Q_OBJECT
public:
    explicit CSplashDlg(QWidget* parent = nullptr);

    void Show() override;
    void SetProgress(int position, int range) override;

    QProgressBar* ProgressBar() const { return m_progress; }

private:
    // Repaints at once: the event loop is not running while modules load.
    void Repaint();

    QProgressBar* m_progress = nullptr;
};
