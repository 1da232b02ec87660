#pragma once
// A row of controls that continues on the next line when the page is too narrow for it, so that
// long rows never push the page wider than its pane.

#include <QLayout>
#include <QList>

namespace hwc::ui::page {

class CFlowRowLayout final : public QLayout {
public:
    CFlowRowLayout() = default;
    ~CFlowRowLayout() override;

    void addItem(QLayoutItem* item) override { m_items.push_back(item); }
    // A nested layout, owned by this one.
    void AddLayout(QLayout* layout) {
        addChildLayout(layout);
        addItem(layout);
    }
    int count() const override { return static_cast<int>(m_items.size()); }
    QLayoutItem* itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return Arrange(QRect(0, 0, width, 0), false); }
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items line by line within the rectangle (or only measures); the height used.
    int Arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> m_items;
};

} // namespace hwc::ui::page
