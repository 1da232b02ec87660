#include "model/DialogTemplate.h"

#include <utility>

namespace {

// The controls an item adds to a template: itself (a control or a group's box) and its children's.
std::size_t ControlCount(const tLayoutItem& item) {
    std::size_t count = item.type == tLayoutNode::EType::Control ||
                                item.type == tLayoutNode::EType::Group
                            ? 1
                            : 0;
    for (const tLayoutItem& child : item.children)
        count += ControlCount(child);
    return count;
}

} // namespace

CDialogTemplate::CDialogTemplate(unsigned id, std::initializer_list<tLayoutItem> items)
    : m_id(id) {
    // Templates live as long as the program: sized exactly, they hold no spare room.
    std::size_t controls = 0;
    for (const tLayoutItem& item : items)
        controls += ControlCount(item);
    m_controls.reserve(controls);
    m_layout.type = tLayoutNode::EType::Column;
    m_layout.children.reserve(items.size());
    for (const tLayoutItem& item : items)
        m_layout.children.push_back(Add(item));
}

tLayoutNode CDialogTemplate::Add(const tLayoutItem& item) {
    tLayoutNode node;
    node.type = item.type;
    if (item.type == tLayoutNode::EType::Control || item.type == tLayoutNode::EType::Group) {
        node.control = static_cast<int>(m_controls.size());
        m_controls.push_back(item.control);
    }
    node.children.reserve(item.children.size());
    for (const tLayoutItem& child : item.children)
        node.children.push_back(Add(child));
    return node;
}

const tControlDef* CDialogTemplate::FindControl(int id) const {
    for (const tControlDef& control : m_controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

namespace dlg {
namespace {

tLayoutItem Control(EControlKind kind, int id, std::string caption = {},
                    std::vector<std::string> items = {}) {
    tLayoutItem item;
    item.control.id = id;
    item.control.kind = kind;
    item.control.caption = std::move(caption);
    item.control.items = std::move(items);
    return item;
}

tLayoutItem Nodes(tLayoutNode::EType type, std::initializer_list<tLayoutItem> items) {
    tLayoutItem node;
    node.type = type;
    node.children.assign(items.begin(), items.end());
    return node;
}

} // namespace

tLayoutItem CheckBox(int id, std::string caption) {
    return Control(EControlKind::CheckBox, id, std::move(caption));
}

tLayoutItem Radio(int id, std::string caption, bool groupStart) {
    tLayoutItem item = Control(EControlKind::RadioButton, id, std::move(caption));
    item.control.groupStart = groupStart;
    return item;
}

tLayoutItem DropList(int id, std::vector<std::string> items) {
    return Control(EControlKind::DropList, id, {}, std::move(items));
}

tLayoutItem DropDown(int id, std::vector<std::string> items) {
    return Control(EControlKind::DropDown, id, {}, std::move(items));
}

tLayoutItem Edit(int id) { return Control(EControlKind::Edit, id); }

tLayoutItem ReadOnly(int id, std::string text) {
    return Control(EControlKind::ReadOnlyEdit, id, std::move(text));
}

tLayoutItem Label(std::string caption, int id) {
    return Control(EControlKind::Static, id, std::move(caption));
}

tLayoutItem Link(int id, std::string caption) {
    return Control(EControlKind::Hyperlink, id, std::move(caption));
}

tLayoutItem UpDown(int id, std::int32_t low, std::int32_t high) {
    tLayoutItem item = Control(EControlKind::UpDown, id);
    item.control.low = low;
    item.control.high = high;
    return item;
}

tLayoutItem Button(int id, std::string caption) {
    return Control(EControlKind::PushButton, id, std::move(caption));
}

tLayoutItem ListBox(int id) { return Control(EControlKind::ListBox, id); }

tLayoutItem Placeholder(int id) { return Control(EControlKind::Placeholder, id); }

tLayoutItem Graph(int id) { return Control(EControlKind::Graph, id); }

tLayoutItem Row(std::initializer_list<tLayoutItem> items) {
    return Nodes(tLayoutNode::EType::Row, items);
}

tLayoutItem Column(std::initializer_list<tLayoutItem> items) {
    return Nodes(tLayoutNode::EType::Column, items);
}

tLayoutItem Group(std::string caption, std::initializer_list<tLayoutItem> items, int id) {
    tLayoutItem group = Nodes(tLayoutNode::EType::Group, items);
    group.control.id = id;
    group.control.kind = EControlKind::GroupBox;
    group.control.caption = std::move(caption);
    return group;
}

} // namespace dlg
