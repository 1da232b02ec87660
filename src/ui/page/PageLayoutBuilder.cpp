#include "ui/page/PageLayoutBuilder.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/page/ControlView.h"
#include "ui/page/FlowRowLayout.h"
#include "ui/page/FormRowLabel.h"

namespace hwc::ui::page {
namespace {

// Wide enough for an interrupt source, an ISR name or a priority entry.
constexpr int kTableColumnWidth = 170;

class CLayoutBuilder {
public:
    CLayoutBuilder(CPage& page, const tViewMaker& makeView)
        : m_page(page), m_makeView(makeView), m_table(page.Parent() != nullptr) {}

    QVBoxLayout* Column(const std::vector<tLayoutNode>& nodes) {
        auto* column = new QVBoxLayout;
        QFormLayout* form = nullptr;
        for (const tLayoutNode& node : nodes) {
            if (!IsFormRow(node)) {
                form = nullptr;
                AddNode(column, node);
                continue;
            }
            if (!form) {
                form = new QFormLayout;
                form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
                column->addLayout(form);
            }
            auto* fields = new CFlowRowLayout;
            std::vector<QWidget*> settings;
            for (std::size_t i = 1; i < node.children.size(); ++i) {
                AddNode(fields, node.children[i]);
                // Fixed texts such as units do not keep a caption; numbered texts (warning
                // indicators, derived values) do.
                if (node.children[i].type == tLayoutNode::EType::Control &&
                    (!IsLabel(node.children[i]) ||
                     ControlOf(node.children[i]).Id() != kNoControlId))
                    settings.push_back(ControlWidget(node.children[i]));
            }
            QWidget* label = Widget(node.children.front());
            form->addRow(label, fields);
            if (!settings.empty())
                new CFormRowLabel(label, ControlOf(node.children.front()), std::move(settings));
        }
        return column;
    }

private:
    CPageControl& ControlOf(const tLayoutNode& node) const {
        return *m_page.Controls()[static_cast<std::size_t>(node.control)];
    }

    bool IsLabel(const tLayoutNode& node) const {
        return node.type == tLayoutNode::EType::Control &&
               ControlOf(node).Kind() == EControlKind::Static;
    }

    // A label followed by at least one field.
    bool IsFormRow(const tLayoutNode& node) const {
        if (m_table || node.type != tLayoutNode::EType::Row || node.children.size() < 2 ||
            !IsLabel(node.children.front()))
            return false;
        for (std::size_t i = 1; i < node.children.size(); ++i) {
            if (!IsLabel(node.children[i]))
                return true;
        }
        return false;
    }

    QWidget* Widget(const tLayoutNode& node) {
        CControlView& view = m_makeView(ControlOf(node));
        if (node.type == tLayoutNode::EType::Group && view.ChildContainer())
            view.ChildContainer()->setLayout(Column(node.children));
        return view.Widget();
    }

    static void AddLayout(QLayout* target, QLayout* child) {
        if (auto* box = qobject_cast<QBoxLayout*>(target))
            box->addLayout(child);
        else
            static_cast<CFlowRowLayout*>(target)->AddLayout(child);
    }

    void AddNode(QLayout* target, const tLayoutNode& node) {
        switch (node.type) {
        case tLayoutNode::EType::Control:
        case tLayoutNode::EType::Group:
            target->addWidget(Widget(node));
            return;
        case tLayoutNode::EType::Column:
            AddLayout(target, Column(node.children));
            return;
        case tLayoutNode::EType::Row:
            AddLayout(target, Row(node));
            return;
        }
    }

    // A page's rows wrap when the pane is narrow; a sub-page's rows are table rows and stay on
    // one line so that their columns line up.
    QLayout* Row(const tLayoutNode& node) {
        if (!m_table) {
            auto* row = new CFlowRowLayout;
            for (const tLayoutNode& child : node.children)
                AddNode(row, child);
            return row;
        }
        auto* row = new QHBoxLayout;
        for (const tLayoutNode& child : node.children) {
            AddNode(row, child);
            if (child.type == tLayoutNode::EType::Control)
                ControlWidget(child)->setFixedWidth(kTableColumnWidth);
        }
        row->addStretch(1);
        return row;
    }

    QWidget* ControlWidget(const tLayoutNode& node) const {
        return m_makeView(ControlOf(node)).Widget();
    }

    CPage& m_page;
    const tViewMaker& m_makeView;
    const bool m_table;
};

bool HasTopLevelListBox(const CPage& page) {
    for (const tLayoutNode& node : page.Template().Layout().children) {
        if (node.type == tLayoutNode::EType::Control &&
            page.Controls()[static_cast<std::size_t>(node.control)]->Kind() ==
                EControlKind::ListBox)
            return true;
    }
    return false;
}

} // namespace

void BuildPageLayout(CPage& page, QWidget* container, const tViewMaker& makeView) {
    CLayoutBuilder builder(page, makeView);
    QVBoxLayout* column = builder.Column(page.Template().Layout().children);
    if (page.Parent()) {
        column->setContentsMargins(0, 0, 0, 0);
    } else if (!HasTopLevelListBox(page)) {
        // The page's controls keep to the top; the room below stays empty, unless a list box
        // can use it.
        column->addStretch(1);
    }
    container->setLayout(column);
}

std::vector<CPageControl*> ControlsInDialogOrder(const CPage& page) {
    std::vector<CPageControl*> order;
    for (const auto& control : page.Controls()) {
        order.push_back(control.get());
        if (!control->SubPage())
            continue;
        const std::vector<CPageControl*> inner = ControlsInDialogOrder(*control->SubPage());
        order.insert(order.end(), inner.begin(), inner.end());
    }
    return order;
}

} // namespace hwc::ui::page
