#pragma once
// A form row's label stays only while a field of its row shows: a module hides a setting it
// does not offer on a processor, and its caption should go with it.

#include <QObject>
#include <vector>

class CPageControl;
class QWidget;

namespace hwc::ui::page {

class CFormRowLabel : public QObject {
public:
    CFormRowLabel(QWidget* label, const CPageControl& labelControl, std::vector<QWidget*> fields);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void Update();

private:
    QWidget* m_label;
    const CPageControl& m_labelControl;
    std::vector<QWidget*> m_fields;
};

} // namespace hwc::ui::page
