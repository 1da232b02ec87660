#pragma once
// The module tree as a toolkit-free model: which modules the project has, how they are grouped,
// which one is selected and which are checked for writing. The desktop tree view renders it and
// follows its changes through an observer; the document fills it from the architecture file and
// adds the modules that come from elsewhere (plug-ins, unrecognized definitions) by path.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CModuleBase;
class CModuleDescriptor;

// What the tree needs from the document: creating modules and finding them by name.
class IModuleFactory {
public:
    virtual ~IModuleFactory() = default;

    // Creates the module the descriptor's type key stands for; the document owns and lists it.
    // Null for an unknown type key.
    virtual CModuleBase* CreateModule(const CModuleDescriptor* descriptor, CModuleBase* parent) = 0;
    // The first module of the document's list with that instance name, or null.
    virtual CModuleBase* FindModule(std::string_view instanceName) = 0;
};

// State images of tree items.
namespace hwc {
constexpr int kStateUnchecked = 0;  // module with registers, not selected for writing
constexpr int kStateChecked = 1;    // module with registers, selected for writing
constexpr int kStateGroup = 2;      // group with no selected module below it, or a lone group
constexpr int kStateGroupInUse = 3; // group with some selected module below it
constexpr int kStateGroupLeaf = 4;  // group without children inside another group
} // namespace hwc

class CModuleTreeItem {
public:
    CModuleTreeItem(const CModuleTreeItem&) = delete;
    CModuleTreeItem& operator=(const CModuleTreeItem&) = delete;
    ~CModuleTreeItem();

    const std::string& Text() const { return m_text; }
    CModuleBase* Module() const { return m_module; }
    int StateImage() const { return m_stateImage; }
    bool IsExpanded() const { return m_expanded; }
    // The item above this one; null for the root and for the items directly below it.
    CModuleTreeItem* Parent() const { return m_parent && m_parent->m_parent ? m_parent : nullptr; }
    bool IsRoot() const { return m_parent == nullptr; }

    std::size_t ChildCount() const { return m_children.size(); }
    CModuleTreeItem& Child(std::size_t index) const;
    // The first child whose text equals `text` exactly, or null.
    CModuleTreeItem* FindChild(std::string_view text) const;

private:
    friend class CModuleTree;
    CModuleTreeItem(CModuleTreeItem* parent, std::string text, CModuleBase* module);

    std::string m_text;
    CModuleBase* m_module = nullptr; // not owned
    int m_stateImage = hwc::kStateUnchecked;
    bool m_expanded = false;
    CModuleTreeItem* m_parent = nullptr;
    std::vector<std::unique_ptr<CModuleTreeItem>> m_children;
};

// Told about every change of the tree, so that a view can mirror it.
class IModuleTreeObserver {
public:
    virtual ~IModuleTreeObserver() = default;
    virtual void OnTreeCleared() {}
    virtual void OnItemInserted(CModuleTreeItem& /*item*/) {}
    // The state image or the expanded flag of the item changed.
    virtual void OnItemChanged(CModuleTreeItem& /*item*/) {}
    // The selection moved; either side may be null.
    virtual void OnSelectionChanged(CModuleTreeItem* /*previous*/, CModuleTreeItem* /*current*/) {}
};

class CModuleTree {
public:
    CModuleTree();
    CModuleTree(const CModuleTree&) = delete;
    CModuleTree& operator=(const CModuleTree&) = delete;

    void SetObserver(IModuleTreeObserver* observer) { m_observer = observer; }

    // The invisible item the top-level items hang below.
    CModuleTreeItem& Root() { return *m_root; }
    const CModuleTreeItem& Root() const { return *m_root; }
    bool IsEmpty() const { return m_root->m_children.empty(); }

    // Inserts an item as the last child of `parent`, with state image 0, collapsed.
    CModuleTreeItem& InsertItem(CModuleTreeItem& parent, std::string text, CModuleBase* module);
    // Removes every item; the selection is cleared.
    void DeleteAll();

    // Calls `visit` for every item except the root, depth-first, parents before children. The
    // tree must not be changed from inside `visit`.
    void ForEachItem(const std::function<void(CModuleTreeItem&)>& visit) const;
    // The first item (depth-first) whose module is `module`, or null.
    CModuleTreeItem* FindItem(const CModuleBase* module) const;
    // The modules in tree order (depth-first, parents first), each with its first item, then the
    // modules of `all` that the tree does not show (their item null), in list order; each once.
    std::vector<std::pair<CModuleBase*, const CModuleTreeItem*>>
    ModulesInOrder(const std::vector<std::unique_ptr<CModuleBase>>& all) const;

    // Selects the item of the module; false (selection unchanged) when it has none.
    bool SelectModule(const CModuleBase* module);
    // Selects the item (null clears the selection); the item must belong to this tree.
    void SelectItem(CModuleTreeItem* item);
    CModuleTreeItem* SelectedItem() const { return m_selected; }
    CModuleBase* SelectedModule() const;

    // Whether some module below the item (not the item's own) is selected for writing.
    bool IsAnyDescendantSelected(const CModuleTreeItem& item) const;

    void SetExpanded(CModuleTreeItem& item, bool expanded);
    void ExpandAll(bool expanded);
    void SetStateImage(CModuleTreeItem& item, int stateImage);

    // Copies the check marks into the modules: every module is selected for writing exactly
    // when its item shows state image 1.
    void PushCheckMarksToModules() const;
    // Recomputes every state image from the modules' selection.
    void RefreshStateImages();

    // Inserts a module below a backslash-separated path, creating group items (with modules of
    // type `folderTypeKey` from the factory) for the components that do not exist yet. A path
    // that does not begin with a backslash lies below "Software Modules". True when the
    // module's item was inserted.
    bool AddModuleToTree(std::string_view path, std::string_view folderTypeKey, CModuleBase* module,
                         IModuleFactory& factory);

private:
    std::unique_ptr<CModuleTreeItem> m_root;
    CModuleTreeItem* m_selected = nullptr;
    IModuleTreeObserver* m_observer = nullptr;
};

namespace hwc {

// The text of a module's tree item: the display name (or the instance name when there is
// none), followed by " - " and the description when there is one.
std::string ModuleTreeItemText(const CModuleDescriptor& descriptor);

} // namespace hwc
