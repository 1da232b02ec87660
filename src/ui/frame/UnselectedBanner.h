#pragma once
// The line above a module's page while the module is not written to the header, with a button
// that includes it, so an unticked module does not look like one that is saved.

#include <QFrame>

class QLabel;
class QPushButton;

class CUnselectedBanner : public QFrame {
    Q_OBJECT
public:
    explicit CUnselectedBanner(QWidget* parent = nullptr);

    QLabel* Label() const { return m_label; }
    QPushButton* Button() const { return m_button; }

signals:
    // The button was clicked: the module shown should be written to the header.
    void includeRequested();

private:
    QLabel* m_label;
    QPushButton* m_button;
};
