#pragma once
// One row of the registers bar: the register's name and its value as editable text.

#include <QWidget>

#include <string>

#include "project/RegistersList.h"

class CProjDocBase;
class QLabel;
class QLineEdit;

namespace hwc::ui {

// The register's define name and, one line each, its bit fields with the setting that owns
// them ("bits 8..9: Clock source").
QString RegisterFieldsText(const tRegisterRow& row);

class CRegisterRowWidget : public QWidget {
    Q_OBJECT
public:
    // `number` is the row's control number (1000 + its position in the list).
    CRegisterRowWidget(const tRegisterRow& row, int number, QWidget* parent = nullptr);

    const tRegisterRow& Row() const { return m_row; }
    int Number() const { return m_number; }
    QLineEdit* Edit() const { return m_edit; }
    QLabel* NameLabel() const { return m_name; }
    bool IsEditable() const;

    // Shows the register's current value and colour. Text the user is still typing is kept
    // unless `force` is set.
    void ShowValue(bool decimal, bool force = false);
    // Takes the typed text into the register, as the headless "set" command does; a text that
    // is no valid value shows why and leaves the register alone. True when the text was valid.
    bool Store(CProjDocBase& document);

signals:
    // Enter was pressed in the value edit.
    void storeRequested(CRegisterRowWidget* row);

private:
    tRegisterRow m_row;
    int m_number = 0;
    bool m_decimal = false;
    QLabel* m_name = nullptr;
    QLineEdit* m_edit = nullptr;
};

} // namespace hwc::ui
