#pragma once
// Dialog templates: a module page declared in code. Each control has its number, kind, caption
// and (for lists) its entries; the layout nodes say how a renderer arranges them (rows, columns,
// group boxes), and the order of the controls in the layout is the dialog order that page walks,
// tab order and self-tests follow. There are no pixel coordinates.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

enum class EControlKind : std::uint8_t {
    CheckBox,
    RadioButton,
    DropList,     // combo box that only offers its entries
    DropDown,     // combo box whose edit field also takes a typed value
    Edit,
    ReadOnlyEdit, // shows a derived value
    Static,       // label or indicator text
    Hyperlink,
    UpDown,       // changes the value of the control just before it in dialog order
    GroupBox,
    PushButton,
    ListBox,
    Placeholder,  // replaced in place by an embedded sub-page
    Graph,        // draws the timing graph its text describes (model/BitGraph.h)
};

// Controls that carry no number of their own (labels, group boxes) use this id.
inline constexpr int kNoControlId = -1;

struct tControlDef {
    int id = kNoControlId;
    EControlKind kind = EControlKind::Static;
    std::string caption;
    std::vector<std::string> items; // entries of combo and list boxes, as the template gives them
    bool groupStart = false;        // first radio button of a group
    std::int32_t low = 0;           // range of an up-down control
    std::int32_t high = 0;
};

// One node of the layout: a control, or a row, column or group box of further nodes.
struct tLayoutNode {
    enum class EType : std::uint8_t { Control, Row, Column, Group };

    EType type = EType::Control;
    int control = -1; // index into the template's controls: the control, or a group's box
    std::vector<tLayoutNode> children;
};

// What the builder functions below produce: a control or a layout node with its controls.
struct tLayoutItem {
    tLayoutNode::EType type = tLayoutNode::EType::Control;
    tControlDef control; // the control, or the group box of a group
    std::vector<tLayoutItem> children;
};

class CDialogTemplate {
public:
    // The items become the page's top-level column, in dialog order.
    CDialogTemplate(unsigned id, std::initializer_list<tLayoutItem> items);

    unsigned Id() const { return m_id; }
    const std::vector<tControlDef>& Controls() const { return m_controls; }
    const tLayoutNode& Layout() const { return m_layout; }
    // The first control with that number, or null.
    const tControlDef* FindControl(int id) const;

private:
    tLayoutNode Add(const tLayoutItem& item);

    unsigned m_id;
    std::vector<tControlDef> m_controls;
    tLayoutNode m_layout;
};

// Builders for templates, read like the page: Group("Clock", {Row({Label("Source:"), ...})}).
namespace dlg {

tLayoutItem CheckBox(int id, std::string caption);
tLayoutItem Radio(int id, std::string caption, bool groupStart = false);
tLayoutItem DropList(int id, std::vector<std::string> items = {});
tLayoutItem DropDown(int id, std::vector<std::string> items = {});
tLayoutItem Edit(int id);
tLayoutItem ReadOnly(int id, std::string text = {});
tLayoutItem Label(std::string caption, int id = kNoControlId);
tLayoutItem Link(int id, std::string caption);
tLayoutItem UpDown(int id, std::int32_t low, std::int32_t high);
tLayoutItem Button(int id, std::string caption);
tLayoutItem ListBox(int id);
tLayoutItem Placeholder(int id);
tLayoutItem Graph(int id);

tLayoutItem Row(std::initializer_list<tLayoutItem> items);
tLayoutItem Column(std::initializer_list<tLayoutItem> items);
tLayoutItem Group(std::string caption, std::initializer_list<tLayoutItem> items,
                  int id = kNoControlId);

} // namespace dlg
