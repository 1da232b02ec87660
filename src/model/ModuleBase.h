#pragma once
// The module base: a module's register items, its names, its place among the document's
// modules, and the operations through which the document loads, writes and compares its values.
// The page, bindings, update cycle and links are added on top of this by the user interface.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <map>

#include "model/ModuleDescriptor.h"
#include "model/ModuleLink.h"
#include "model/ModuleHost.h"
#include "model/Page.h"
#include "model/RegisterItem.h"
#include "model/RuntimeClass.h"
#include "model/Summary.h"

class CAppcfgFile;
class CDialogTemplate;

// A define of the header whose value no number could be read from ("(PERIOD - 1)"): the item
// keeps its default and the define stays with the user definitions, written back as it was.
struct tUnreadableValue {
    int index = 0;          // the item
    std::string defineName; // "PIT0_MOD_INIT"
    std::string text;       // the value text as read
};

// One value a module's header section writes: a define, or a line of its internal-parameter block.
struct tWrittenDefine {
    int index = 0;        // the item
    std::string name;     // the define name; the item name for an internal parameter
    std::string value;    // the value text as written; empty for a bare define or empty text;
                          // "#undef" for a bare define written as absent
    bool internal = false; // a line of the internal-parameter block
};

class CModuleBase : public IPageCommandHandler {
public:
    static constexpr CRuntimeClass kRuntimeClass{"CModuleBase", nullptr, nullptr};

    // Creates the item array, `count` zero-filled items, and, when a descriptor and a table are
    // given, fills them from the table. The document is the one being opened
    // (hwc::HostBeingOpened()).
    CModuleBase(CModuleBase* parent, unsigned templateId, const CModuleDescriptor* descriptor,
                const tPerCfgDef* table, int count);
    ~CModuleBase() override;
    CModuleBase(const CModuleBase&) = delete;
    CModuleBase& operator=(const CModuleBase&) = delete;

    virtual const CRuntimeClass* GetRuntimeClass() const { return &kRuntimeClass; }
    bool IsKindOf(const CRuntimeClass& runtimeClass) const {
        return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
    }

    // --- Operations the document, views and peripheral classes drive, in slot order ---

    virtual void SetSelected(bool selected);
    // Selected for output; a module without output counts as selected when it has items.
    virtual bool IsSelected() const;
    virtual bool HasOutput() const;
    // Recomputes derived displays (frequencies, times); empty in the base.
    virtual void Recalculate();
    // Enables, disables, shows or hides page controls; empty in the base.
    virtual void UpdateControlStates();
    // Copies values of the items at the same positions from a module of the same kind; with
    // `indexes` only those positions (an empty list copies nothing). Items whose names differ are
    // copied only when the user agrees (with `ask`); Cancel copies nothing and gives false.
    // True when anything was copied.
    virtual bool ImportFrom(const CModuleBase& source, const std::vector<int>* indexes, bool ask);
    // True when values may be imported from `other`: it is of this module's class or derived
    // from it. `forbidden` is set when the module refuses a source it would otherwise accept.
    virtual bool IsImportCompatible(const CModuleBase& other, bool& forbidden) const;
    // Any critical item or the selection differs from the last load or save.
    virtual bool IsModified() const;
    // Takes the current values and selection as the saved state; returns the selection.
    virtual bool MarkSaved();
    // Evaluates the module's warnings; empty in the base.
    virtual void CheckWarnings();
    // Attaches the module to its document: resolves the related module and takes the reset
    // values that the module-info text gives ("NAME_RESET" for an item "NAME_INIT").
    virtual void BindControls(IModuleHost* host);
    // Fix-ups after every module has loaded its values; empty in the base.
    virtual void AfterLoad();
    virtual void SetProcessor(std::string_view processorName);
    // Shows a frequency in Hz (or a time in seconds) in a page control and/or the out text:
    // with auto unit scaled to k/M (ms/us), trailing zeros dropped; 0 shows the zero text.
    virtual void ShowFrequency(int controlId, double hz, bool autoUnit, const char* zeroText,
                               const char* format = nullptr, std::string* out = nullptr);
    virtual void ShowTime(int controlId, double seconds, bool autoUnit, const char* zeroText,
                          const char* format = nullptr, std::string* out = nullptr);
    // Makes sure the page exists (created hidden, its bindings attached); false when the module
    // has no page.
    virtual bool CreatePage();
    virtual bool DestroysTemporaryPage() const { return false; }
    // Checks every visible and enabled control of the page and its sub-pages in dialog order;
    // stops at the first invalid one (with show: its message, and the focus goes to it).
    virtual bool Validate(bool show);
    // Why the page refuses its values, for runs that ask nothing: the refused control's label
    // and what its binding would tell the user ("Modulo Value: Entered value must be ..."),
    // found without asking a question or changing a register; empty when the page is valid.
    std::string ValidationProblem();
    // Copies the registers to the page's controls; false when there is no page.
    virtual bool RefreshControls();
    // Copies the page's controls to the registers; false when there is no page.
    virtual bool ApplyControls();
    // Runs the self-test of every binding of the page and of its sub-pages.
    virtual void SelfTest();
    virtual void SetHeaderFile(CAppcfgFile* header);
    virtual bool IsHeaderFile(const CAppcfgFile* header) const;
    // Loads the item values from the remembered header (this one when none is remembered yet);
    // the module is selected when at least one item was found.
    virtual bool LoadFromHeader(CAppcfgFile* header);
    // Appends the module's internal-parameter block and define lines to `text`. Asks before
    // dropping changes of an unselected module; Cancel gives false. An unselected module
    // empties `text`.
    virtual bool WriteHeaderText(std::string& text);
    // The module's configuration summary as written in its header section: the title line, the
    // dashes and, when comments are generated, the texts of the summary entries.
    virtual void GetSummary(std::string& text) const;
    // The name of the item's define: the instance name, '_' and the item name, or the item name
    // without its leading '-'.
    virtual std::string GetDefineName(const tPerCfgItem& item) const;
    // Whether the registers view lists the item (index -1 for an item of another module).
    virtual bool ShowInRegistersView(int index, const tPerCfgItem& item) const;

    // --- Page ---

    // The module's page, or null before CreatePage.
    CPage* Page() const { return m_page.get(); }
    // The dialog template of the page, or null for a module without one.
    virtual const CDialogTemplate* DialogTemplate() const { return nullptr; }
    // The page's general refresh (update hint 0): controls from the registers, derived values,
    // and the warnings once the project is loaded.
    void OnInitialUpdate();
    // Raises or clears one of the module's warnings: the page's indicator control shows the
    // message (shown while active or while a message is given), and the document's list follows.
    void SetWarning(int indicatorId, bool active, const char* message, const char* detail = nullptr);
    // --- Links ---

    // Follows a link clicked in a page, a warning or the information view. A module link shows
    // the target module's page (not for "hwcna:") and lets the target navigate to the control;
    // any other link goes to the desktop's default program ("Can not open link ..." without).
    virtual void FollowLink(const std::string& link, const std::string& extra);
    // Shows the extra text (or the link's "tiptext") as a tool-tip at the control the link names
    // when the page is shown, then hands the link's query to OnLinkCommand and OnLinkParameters.
    virtual void NavigateTo(CModuleBase* sender, const std::string& link, const std::string& extra);
    // A module's answer to a link's query (the whole text after '?'); true when handled.
    virtual bool OnLinkCommand(CModuleBase* sender, const tModuleLink& link, std::string_view query) {
        return false;
    }
    // The same query as key=value pairs, keys lower-cased.
    virtual void OnLinkParameters(CModuleBase* sender, const tModuleLink& link,
                                  const std::map<std::string, std::string>& parameters) {}
    // A control of the page by number (a sub-page's as sub-page number x 0x10000 + number) or
    // by caption; null without a page.
    CPageControl* FindControl(int id) const { return m_page ? m_page->FindControl(id) : nullptr; }
    CPageControl* FindControlByText(std::string_view text) const {
        return m_page ? m_page->FindControlByText(text) : nullptr;
    }
    // A balloon tool-tip at the control (the page scrolls to it and focuses it); false when the
    // control does not exist.
    bool ShowToolTip(int controlId, const std::string& text, const std::string& title);

    // The module's reaction to its page's control events, after the bindings'; empty here.
    void OnPageCommand(CPageControl& control, EControlEvent event) override {}

    // --- Items ---

    tPerCfgItem* Items() { return m_items.get(); }
    const tPerCfgItem* Items() const { return m_items.get(); }
    tPerCfgItem& Item(int index);
    const tPerCfgItem& Item(int index) const;
    int ItemCount() const { return m_itemCount; }
    int Capacity() const { return m_capacity; }
    // Changes the number of items in use within the capacity; the array itself never moves, as
    // bindings and views refer to its items. A module created without items (one that chooses
    // its table after construction) gets its array, as large as the count, the first time.
    void SetItemCount(int count);

    // Initialises the first `count` items from a definition table (when given; with `reset` the
    // values are set to the defaults) and, with a header, loads their values from it. Defines
    // are named prefix_NAME[_suffix]. A numeric value that is no integer constant keeps the
    // default, its define is left unclaimed (the user definitions keep it) and it is listed in
    // one message and in `unreadable`. Returns the number of items found in the header.
    static int InitRegisters(CAppcfgFile* header, tPerCfgItem* items, int count,
                             std::string_view prefix, std::string_view suffix,
                             const tPerCfgDef* table, bool reset,
                             std::vector<tUnreadableValue>* unreadable = nullptr);

    // The defines of the last load whose values could not be read.
    const std::vector<tUnreadableValue>& UnreadableValues() const { return m_unreadable; }
    // Whether the item's define is still left to the user definitions: its value could not be
    // read and nobody has set the item since. The module then writes no line for it.
    bool LeavesDefineToUser(int index) const;
    // Whether the module now writes the define that the user definitions took because its value
    // could not be read (the item has been set since); the user definition then goes.
    bool TakesBackDefine(std::string_view defineName) const;

    // The module's internal-parameter block and define lines as written to the header;
    // returns the number of changed critical items.
    int GetHeaderText(std::string& text) const;
    // What GetHeaderText writes, value by value, in item order (selection not considered).
    std::vector<tWrittenDefine> WrittenDefines() const;

    // The item with that define or item name, in this module or (when `owner` is given) in the
    // module the name points to or any other module of the document; `owner` receives the
    // module that holds it (null when none does).
    tPerCfgItem* FindRegister(std::string_view name, CModuleBase** owner = nullptr);

    // The first module of the document with that instance name and, when `typeKey` is not
    // empty, that type key.
    static CModuleBase* FindModule(const IModuleHost* host, std::string_view instanceName,
                                   std::string_view typeKey = {});

    bool GetModuleInfo(std::string_view key, std::string& text) const;
    bool GetModuleInfoNumber(std::string_view key, std::uint32_t& number) const;
    void SetModuleInfo(std::string_view text) { m_descriptor.SetModuleInfo(text); }

    // Summary entries in output order. Adding stops at the first entry without a binding, so a
    // table ending with an empty entry can be passed whole.
    void AddCommentItems(std::initializer_list<COMMENTITEM> items);
    void AddCommentItems(const std::vector<COMMENTITEM>& items);
    // Empties the list, so that a module can rebuild it when its page layout changes.
    void ClearCommentItems() { m_commentItems.clear(); }
    const std::vector<COMMENTITEM>& CommentItems() const { return m_commentItems; }

    // Items of other modules that the registers view lists after the module's own items.
    std::vector<tPerCfgItem*>& ForeignItems() { return m_foreignItems; }
    const std::vector<tPerCfgItem*>& ForeignItems() const { return m_foreignItems; }

    // --- Names and relations ---

    const CModuleDescriptor& Descriptor() const { return m_descriptor; }
    const std::string& InstanceName() const { return m_descriptor.InstanceName(); }
    const std::string& TypeKey() const { return m_descriptor.TypeKey(); }
    // The display name, or the instance name when there is none.
    const std::string& Title() const { return m_descriptor.Title(); }
    CModuleBase* Parent() const { return m_parent; }
    CModuleBase* RelatedModule() const { return m_relatedModule; }
    IModuleHost* Host() const { return m_host; }
    CAppcfgFile* HeaderFile() const { return m_headerFile; }
    unsigned TemplateId() const { return m_templateId; }
    bool SelectedAtSave() const { return m_selectedAtSave; }

protected:
    // Attaches the bindings to the controls of a new page (the page's data exchange).
    virtual void AttachControls(CPage& page) {}

private:
    enum class EWritten { No, Define, Internal };
    // Whether and where the header section writes the item.
    EWritten WrittenAs(int index, bool generateDefaults) const;
    // Steps 1 and 2 of FindRegister: the item named by its full or short name in this module.
    tPerCfgItem* FindOwnRegister(std::string_view name);

    CModuleBase* m_parent = nullptr;
    CModuleBase* m_relatedModule = nullptr;
    IModuleHost* m_host = nullptr;
    CAppcfgFile* m_headerFile = nullptr;
    CModuleDescriptor m_descriptor;
    unsigned m_templateId = 0;
    bool m_selected = false;
    bool m_selectedAtSave = false;

    std::unique_ptr<CPage> m_page;
    std::vector<tPerCfgItem*> m_foreignItems;
    std::vector<COMMENTITEM> m_commentItems;
    std::vector<tUnreadableValue> m_unreadable;
    std::unique_ptr<tPerCfgItem[]> m_items;
    int m_capacity = 0;
    int m_itemCount = 0;
};

namespace hwc {

// The define name of an item name: without a leading '-' the prefix (when not empty) and '_' go
// before it; a suffix (when not empty) follows after '_'.
std::string MakeDefineName(std::string_view prefix, std::string_view itemName,
                           std::string_view suffix = {});

} // namespace hwc
