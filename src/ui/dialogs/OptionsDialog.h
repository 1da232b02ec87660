#pragma once
// The "Options" dialog: the output options of the open project, and whether they become the
// user's defaults for the projects that follow.

#include <QDialog>

#include "project/ProjDocBase.h"

class CProjDoc;
class QCheckBox;

class COptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit COptionsDialog(CProjDoc* document, QWidget* parent = nullptr);

    QCheckBox* CommentsCheck() const { return m_comments; }
    QCheckBox* KeepCommentsCheck() const { return m_keepComments; }
    QCheckBox* DefaultsCheck() const { return m_defaults; }
    QCheckBox* SetAsDefaultCheck() const { return m_setAsDefault; }

    // The options as the check boxes show them (the brief-view flag taken from the document).
    CProjDocBase::tOptions ChosenOptions() const;

    void accept() override;

private:
    CProjDoc* m_document;
    CProjDocBase::tOptions m_initial;
    QCheckBox* m_comments = nullptr;
    QCheckBox* m_keepComments = nullptr;
    QCheckBox* m_defaults = nullptr;
    QCheckBox* m_setAsDefault = nullptr;
};

namespace hwc::ui {

// Stores the three output options as the user's defaults (numbers 0 or 1 in the group
// "Options"), read again whenever a project is opened.
void StoreOutputOptions(const CProjDocBase::tOptions& options);

} // namespace hwc::ui
