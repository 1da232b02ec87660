#include "project/ModuleTree.h"

#include <cassert>
#include <unordered_map>
#include <unordered_set>

#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "model/ModuleDescriptor.h"

namespace {

// Items in depth-first order, parents before children, the start item excluded. Walks with its
// own stack so that a tree of any depth is safe.
template <class Visit> void WalkBelow(const CModuleTreeItem& start, Visit&& visit) {
    std::vector<CModuleTreeItem*> stack;
    for (std::size_t i = start.ChildCount(); i > 0; --i)
        stack.push_back(&start.Child(i - 1));
    while (!stack.empty()) {
        CModuleTreeItem* item = stack.back();
        stack.pop_back();
        if (!visit(*item))
            return;
        for (std::size_t i = item->ChildCount(); i > 0; --i)
            stack.push_back(&item->Child(i - 1));
    }
}

bool IsModuleSelected(const CModuleTreeItem& item) {
    return item.Module() && item.Module()->IsSelected();
}

// The state image of an item, given whether some module below it is selected.
int StateImageOf(const CModuleTreeItem& item, bool selectedBelow) {
    if (item.Module() && item.Module()->HasOutput())
        return item.Module()->IsSelected() ? hwc::kStateChecked : hwc::kStateUnchecked;
    if (item.ChildCount() > 0)
        return selectedBelow ? hwc::kStateGroupInUse : hwc::kStateGroup;
    return item.Parent() ? hwc::kStateGroupLeaf : hwc::kStateGroup;
}

} // namespace

// --- CModuleTreeItem ---

CModuleTreeItem::CModuleTreeItem(CModuleTreeItem* parent, std::string text, CModuleBase* module)
    : m_text(std::move(text)), m_module(module), m_parent(parent) {}

CModuleTreeItem::~CModuleTreeItem() {
    // Children are taken apart here one level at a time, so that a deep tree cannot exhaust the
    // stack through nested destructors.
    std::vector<std::unique_ptr<CModuleTreeItem>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<CModuleTreeItem> item = std::move(pending.back());
        pending.pop_back();
        for (auto& child : item->m_children)
            pending.push_back(std::move(child));
        item->m_children.clear();
    }
}

CModuleTreeItem& CModuleTreeItem::Child(std::size_t index) const {
    assert(index < m_children.size());
    return *m_children[index];
}

CModuleTreeItem* CModuleTreeItem::FindChild(std::string_view text) const {
    for (const auto& child : m_children) {
        if (child->m_text == text)
            return child.get();
    }
    return nullptr;
}

// --- CModuleTree ---

CModuleTree::CModuleTree() : m_root(new CModuleTreeItem(nullptr, {}, nullptr)) {
    m_root->m_expanded = true;
}

CModuleTreeItem& CModuleTree::InsertItem(CModuleTreeItem& parent, std::string text,
                                         CModuleBase* module) {
    parent.m_children.push_back(
        std::unique_ptr<CModuleTreeItem>(new CModuleTreeItem(&parent, std::move(text), module)));
    CModuleTreeItem& item = *parent.m_children.back();
    if (m_observer)
        m_observer->OnItemInserted(item);
    return item;
}

void CModuleTree::DeleteAll() {
    m_selected = nullptr;
    m_root = std::unique_ptr<CModuleTreeItem>(new CModuleTreeItem(nullptr, {}, nullptr));
    m_root->m_expanded = true;
    if (m_observer)
        m_observer->OnTreeCleared();
}

std::vector<std::pair<CModuleBase*, const CModuleTreeItem*>>
CModuleTree::ModulesInOrder(const std::vector<std::unique_ptr<CModuleBase>>& all) const {
    std::vector<std::pair<CModuleBase*, const CModuleTreeItem*>> ordered;
    std::unordered_set<const CModuleBase*> seen;
    ForEachItem([&](CModuleTreeItem& item) {
        if (item.Module() && seen.insert(item.Module()).second)
            ordered.emplace_back(item.Module(), &item);
    });
    for (const auto& module : all) {
        if (seen.insert(module.get()).second)
            ordered.emplace_back(module.get(), nullptr);
    }
    return ordered;
}

void CModuleTree::ForEachItem(const std::function<void(CModuleTreeItem&)>& visit) const {
    WalkBelow(*m_root, [&](CModuleTreeItem& item) {
        visit(item);
        return true;
    });
}

CModuleTreeItem* CModuleTree::FindItem(const CModuleBase* module) const {
    CModuleTreeItem* found = nullptr;
    if (!module)
        return nullptr;
    WalkBelow(*m_root, [&](CModuleTreeItem& item) {
        if (item.Module() == module)
            found = &item;
        return found == nullptr;
    });
    return found;
}

bool CModuleTree::SelectModule(const CModuleBase* module) {
    CModuleTreeItem* item = FindItem(module);
    if (!item)
        return false;
    SelectItem(item);
    return true;
}

void CModuleTree::SelectItem(CModuleTreeItem* item) {
    assert(!item || !item->IsRoot());
    if (item == m_selected)
        return;
    CModuleTreeItem* previous = m_selected;
    m_selected = item;
    if (m_observer)
        m_observer->OnSelectionChanged(previous, item);
}

CModuleBase* CModuleTree::SelectedModule() const {
    return m_selected ? m_selected->Module() : nullptr;
}

bool CModuleTree::IsAnyDescendantSelected(const CModuleTreeItem& item) const {
    bool found = false;
    WalkBelow(item, [&](CModuleTreeItem& below) {
        found = IsModuleSelected(below);
        return !found;
    });
    return found;
}

void CModuleTree::SetExpanded(CModuleTreeItem& item, bool expanded) {
    // The root is always open: its children are the top level.
    if (item.IsRoot() || item.m_expanded == expanded)
        return;
    item.m_expanded = expanded;
    if (m_observer)
        m_observer->OnItemChanged(item);
}

void CModuleTree::ExpandAll(bool expanded) {
    ForEachItem([&](CModuleTreeItem& item) { SetExpanded(item, expanded); });
}

void CModuleTree::SetStateImage(CModuleTreeItem& item, int stateImage) {
    assert(stateImage >= hwc::kStateUnchecked && stateImage <= hwc::kStateGroupLeaf);
    if (item.IsRoot() || item.m_stateImage == stateImage)
        return;
    item.m_stateImage = stateImage;
    if (m_observer)
        m_observer->OnItemChanged(item);
}

void CModuleTree::PushCheckMarksToModules() const {
    ForEachItem([](CModuleTreeItem& item) {
        if (item.Module())
            item.Module()->SetSelected(item.StateImage() == hwc::kStateChecked);
    });
}

void CModuleTree::RefreshStateImages() {
    // Children come after their parents in depth-first order, so walking that order backwards
    // knows for every item whether a module below it is selected before the item is reached.
    std::vector<CModuleTreeItem*> order;
    ForEachItem([&](CModuleTreeItem& item) { order.push_back(&item); });
    std::unordered_map<const CModuleTreeItem*, bool> selectedBelow;
    selectedBelow.reserve(order.size());
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        CModuleTreeItem& item = **it;
        bool below = false;
        for (std::size_t i = 0; i < item.ChildCount() && !below; ++i) {
            const CModuleTreeItem& child = item.Child(i);
            below = IsModuleSelected(child) || selectedBelow[&child];
        }
        selectedBelow[&item] = below;
        SetStateImage(item, StateImageOf(item, below));
    }
}

bool CModuleTree::AddModuleToTree(std::string_view path, std::string_view folderTypeKey,
                                  CModuleBase* module, IModuleFactory& factory) {
    std::string fullPath =
        hwc::StartsWith(path, "\\") ? std::string(path) : "Software Modules\\" + std::string(path);
    const std::vector<std::string> components = hwc::Split(fullPath, '\\');
    CModuleTreeItem* parent = m_root.get();
    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        const std::string& component = components[i];
        if (component.empty())
            continue;
        if (CModuleTreeItem* existing = parent->FindChild(component)) {
            parent = existing;
            continue;
        }
        const CModuleDescriptor folder(folderTypeKey, folderTypeKey);
        CModuleBase* folderModule = factory.CreateModule(&folder, nullptr);
        CModuleTreeItem& item = InsertItem(*parent, component, folderModule);
        SetExpanded(*parent, true);
        parent = &item;
    }
    const std::string& last = components.back();
    InsertItem(*parent, last.empty() ? "?unknown?" : last, module);
    SetExpanded(*parent, true);
    return true;
}

namespace hwc {

std::string ModuleTreeItemText(const CModuleDescriptor& descriptor) {
    std::string text = descriptor.Title();
    if (!descriptor.Description().empty())
        text += " - " + descriptor.Description();
    return text;
}

} // namespace hwc
