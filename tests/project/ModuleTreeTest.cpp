#include "project/ModuleTree.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/ModuleBase.h"

namespace {

// Creates plain modules; type keys ending in "REGS" get one register, so they have output. An
// empty type key is unknown.
class CTreeFactory final : public IModuleFactory {
public:
    CModuleBase* CreateModule(const CModuleDescriptor* descriptor, CModuleBase* parent) override {
        if (descriptor->TypeKey().empty())
            return nullptr;
        modules.push_back(std::make_unique<CModuleBase>(parent, 0, descriptor, nullptr, 0));
        if (descriptor->TypeKey().ends_with("REGS"))
            modules.back()->SetItemCount(1);
        return modules.back().get();
    }
    CModuleBase* FindModule(std::string_view) override { return nullptr; }

    CModuleBase* Make(const char* typeKey) {
        const CModuleDescriptor descriptor(typeKey, typeKey);
        return CreateModule(&descriptor, nullptr);
    }

    std::vector<std::unique_ptr<CModuleBase>> modules;
};

struct CEvents final : IModuleTreeObserver {
    void OnTreeCleared() override { log += "clear;"; }
    void OnItemInserted(CModuleTreeItem& item) override { log += "add " + item.Text() + ";"; }
    void OnItemChanged(CModuleTreeItem& item) override { log += "change " + item.Text() + ";"; }
    void OnSelectionChanged(CModuleTreeItem*, CModuleTreeItem* current) override {
        log += "select " + (current ? current->Text() : std::string("-")) + ";";
    }
    std::string log;
};

// One line per item: indentation by depth, the text, "+" when open, a folder's type key.
std::string Outline(const CModuleTree& tree) {
    std::string out;
    tree.ForEachItem([&](CModuleTreeItem& item) {
        for (const CModuleTreeItem* up = item.Parent(); up; up = up->Parent())
            out += "  ";
        out += item.Text() + (item.IsExpanded() ? "+" : "");
        if (item.ChildCount() > 0 && item.Module())
            out += " [" + item.Module()->TypeKey() + "]";
        out += "\n";
    });
    return out;
}

std::string States(const CModuleTree& tree) {
    std::string out;
    tree.ForEachItem([&](CModuleTreeItem& item) {
        out += item.Text() + "=" + std::to_string(item.StateImage()) + " ";
    });
    return out;
}

} // namespace

TEST(ModuleTree, AddModuleToTreeBuildsAndReusesFolders) {
    CTreeFactory factory;
    CModuleTree tree;
    CModuleBase* motor = factory.Make("MOTORREGS");
    ASSERT_TRUE(tree.AddModuleToTree("Drivers\\Motor", "PLUGINS", motor, factory));
    tree.AddModuleToTree("Drivers\\", "PLUGINS", factory.Make("X"), factory);
    tree.AddModuleToTree("drivers\\\\Pump", "PLUGINS", factory.Make("X"), factory);
    tree.AddModuleToTree("\\Unrecognized Definitions", "VOID", factory.Make("VOIDREGS"), factory);

    // Folders are reused by exact text; parents below the root are opened.
    EXPECT_EQ(Outline(tree), "Software Modules+ [PLUGINS]\n  Drivers+ [PLUGINS]\n    Motor\n"
                             "    ?unknown?\n  drivers+ [PLUGINS]\n    Pump\n"
                             "Unrecognized Definitions\n");
    EXPECT_EQ(tree.FindItem(motor)->Text(), "Motor");
    EXPECT_EQ(tree.Root().Child(0).Module()->InstanceName(), "PLUGINS");
    EXPECT_EQ(factory.modules.size(), 4u + 3u); // four modules, three folders
}

TEST(ModuleTree, StateImagesFollowTheModules) {
    CTreeFactory factory;
    CModuleTree tree;
    CModuleBase* used = factory.Make("REGS");
    CModuleBase* unused = factory.Make("REGS");
    tree.AddModuleToTree("\\Top\\Group\\Used", "F", used, factory);
    tree.AddModuleToTree("\\Top\\Idle\\Unused", "F", unused, factory);
    tree.AddModuleToTree("\\Top\\Empty", "F", factory.Make("F"), factory);
    tree.AddModuleToTree("\\Lone", "F", factory.Make("F"), factory);
    tree.InsertItem(tree.Root(), "No module", nullptr);
    used->SetSelected(true);

    tree.RefreshStateImages();
    EXPECT_EQ(States(tree), "Top=3 Group=3 Used=1 Idle=2 Unused=0 Empty=4 Lone=2 No module=2 ");
    EXPECT_TRUE(tree.IsAnyDescendantSelected(tree.Root().Child(0)));
    EXPECT_FALSE(tree.IsAnyDescendantSelected(*tree.FindItem(used))); // its own does not count

    // Check marks flow back into the modules, and the groups follow.
    tree.SetStateImage(*tree.FindItem(used), hwc::kStateUnchecked);
    tree.SetStateImage(*tree.FindItem(unused), hwc::kStateChecked);
    tree.PushCheckMarksToModules();
    EXPECT_FALSE(used->IsSelected());
    EXPECT_TRUE(unused->IsSelected());
    tree.RefreshStateImages();
    EXPECT_EQ(States(tree), "Top=3 Group=2 Used=0 Idle=3 Unused=1 Empty=4 Lone=2 No module=2 ");
}

TEST(ModuleTree, SelectionExpansionAndObserver) {
    CTreeFactory factory;
    CModuleTree tree;
    CEvents events;
    tree.SetObserver(&events);
    CModuleBase* a = factory.Make("REGS");
    CModuleBase* stranger = factory.Make("REGS");
    CModuleTreeItem& first = tree.InsertItem(tree.Root(), "A", a);
    tree.InsertItem(first, "A again", a);

    EXPECT_TRUE(tree.SelectModule(a));
    EXPECT_EQ(tree.SelectedItem(), &first); // depth-first: the outer item comes first
    EXPECT_FALSE(tree.SelectModule(stranger));
    EXPECT_EQ(tree.SelectedModule(), a);

    tree.ExpandAll(true);
    tree.ExpandAll(true); // no change, no event
    tree.ExpandAll(false);
    tree.RefreshStateImages();
    tree.DeleteAll();
    EXPECT_EQ(tree.SelectedModule(), nullptr);
    EXPECT_TRUE(tree.IsEmpty());
    EXPECT_EQ(events.log, "add A;add A again;select A;change A;change A again;change A;"
                          "change A again;clear;");
}

TEST(ModuleTree, DeepTreesAreSafe) {
    CTreeFactory factory;
    auto tree = std::make_unique<CModuleTree>();
    std::string path;
    for (int i = 0; i < 300000; ++i)
        path += "\\d";
    CModuleBase* leaf = factory.Make("REGS");
    leaf->SetSelected(true);
    tree->AddModuleToTree(path, {}, leaf, factory);
    tree->RefreshStateImages();
    EXPECT_EQ(tree->Root().Child(0).StateImage(), hwc::kStateGroupInUse);
    EXPECT_NE(tree->FindItem(leaf), nullptr);
    tree.reset(); // must not recurse per level
}

TEST(ModuleTree, ModulesInOrderListTreeModulesOnceThenTheOthers) {
    CTreeFactory factory;
    CModuleTree tree;
    CModuleBase* hidden = factory.Make("HIDDEN");
    CModuleBase* motor = factory.Make("MOTORREGS");
    CModuleBase* pump = factory.Make("PUMPREGS");
    tree.AddModuleToTree("Drivers\\Pump", "PLUGINS", pump, factory);
    tree.AddModuleToTree("Drivers\\Motor", "PLUGINS", motor, factory);
    // A module shown twice in the tree is listed once, at its first item.
    tree.InsertItem(tree.Root(), "Pump again", pump);

    const auto ordered = tree.ModulesInOrder(factory.modules);
    std::vector<std::string> names;
    for (const auto& [module, item] : ordered)
        names.push_back(module->InstanceName() + (item ? "@" + item->Text() : std::string()));
    // The folders come first as they are items of the tree; the module without an item last.
    EXPECT_EQ(names, (std::vector<std::string>{"PLUGINS@Software Modules", "PLUGINS@Drivers",
                                               "PUMPREGS@Pump", "MOTORREGS@Motor", "HIDDEN"}));
    EXPECT_EQ(ordered.back().first, hidden);
}
