#include "project/SettingSearch.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/TextUtil.h"
#include "bindings/BindingInfo.h"
#include "bindings/SetCtrl.h"
#include "bindings/SetEnum.h"
#include "bindings/SetMode.h"
#include "model/ModuleBase.h"
#include "model/ModuleLink.h"
#include "model/Page.h"
#include "model/RegisterItem.h"
#include "model/Summary.h"
#include "project/ModuleTree.h"
#include "project/SettingText.h"

namespace hwc {

namespace {

// Where the words of a query were found; the order is the order of the result ranks.
enum class EKeyKind : std::uint8_t {
    Caption,  // the label, a box's own caption or the binding's description
    Entry,    // an entry of a choice list
    Register, // the define name of the register the setting writes
};

// Letters are compared without case; bytes outside ASCII are compared as they are, whatever
// the program's locale.
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

bool IsWordCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 'A' && byte <= 'Z') || byte >= 0x80;
}

// Controls a person sets or reads a value in; labels, frames and buttons lead to none.
bool IsValueControl(EControlKind kind) {
    switch (kind) {
    case EControlKind::CheckBox:
    case EControlKind::RadioButton:
    case EControlKind::DropList:
    case EControlKind::DropDown:
    case EControlKind::Edit:
    case EControlKind::ReadOnlyEdit:
    case EControlKind::ListBox:
        return true;
    default:
        return false;
    }
}

bool HasOwnCaption(EControlKind kind) {
    return kind == EControlKind::CheckBox || kind == EControlKind::RadioButton;
}

// A binding's summary text whatever the state of its control.
class CActiveSummarySource final : public ISummarySource {
public:
    explicit CActiveSummarySource(const ISummarySource& source) : m_source(source) {}
    bool IsActive() const override { return true; }
    std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override {
        return m_source.GetSummaryText(withValue, layoutFlags);
    }

private:
    const ISummarySource& m_source;
};

// The link that names the control: its number, or the sub-page's number and its own.
int LinkControlId(const CModuleBase& module, const CPageControl& control,
                  const CPageControl* holder) {
    const int own = control.Id();
    if (own == kNoControlId || own == 0)
        return 0;
    const int id = holder ? CPage::SubPageControlId(holder->Id(), own) : own;
    if (holder && (holder->Id() == kNoControlId || holder->Id() == 0))
        return 0;
    // Repeated placeholders share a number: only the first of them is reached this way.
    return module.FindControl(id) == &control ? id : 0;
}

bool StartsAtWord(std::string_view text, std::size_t position) {
    return position == 0 || !IsWordCharacter(text[position - 1]);
}

// How well the text holds the query: 0 at its start, 1 at the start of a word, 2 anywhere,
// -1 not at all.
int MatchQuality(std::string_view text, std::string_view query) {
    std::size_t position = text.find(query);
    if (position == std::string_view::npos)
        return -1;
    if (position == 0)
        return 0;
    for (; position != std::string_view::npos; position = text.find(query, position + 1)) {
        if (StartsAtWord(text, position))
            return 1;
    }
    return 2;
}

} // namespace

struct CSettingSearch::tEntry {
    struct tKey {
        std::string lower; // what the query is looked for in
        std::string shown; // what the result names as matched
        EKeyKind kind;
    };

    CModuleBase* module = nullptr;
    CPageControl* control = nullptr;
    // The caption of the innermost titled group box around the control, in its page or around
    // the placeholders of its sub-pages; it tells apart settings of the same name.
    std::string group;
    std::string registerText;
    // The placeholders holding the control's sub-page, innermost first: a hidden one hides it.
    std::vector<const CPageControl*> holders;
    int controlId = 0;
    std::string caption;
    std::vector<tKey> keys;

    bool IsShown() const {
        if (!control->IsVisible())
            return false;
        return std::all_of(holders.begin(), holders.end(),
                           [](const CPageControl* holder) { return holder->IsVisible(); });
    }
};

namespace {

using tEntry = CSettingSearch::tEntry;

class CIndexer {
public:
    explicit CIndexer(std::vector<tEntry>& entries) : m_entries(entries) {}

    void AddModule(CModuleBase& module) {
        const std::size_t first = m_entries.size();
        if (CPage* page = module.Page()) {
            // A page that was never shown has not yet hidden what its settings rule out.
            module.UpdateControlStates();
            AddPage(module, *page, {}, std::string());
        }
        Disambiguate(first);
    }

private:
    // The caption of the innermost titled group box around each control of the page.
    static std::vector<std::string> GroupCaptions(const CPage& page, const std::string& outer) {
        std::vector<std::string> groups(page.Controls().size(), outer);
        WalkGroups(page, page.Template().Layout(), outer, groups);
        return groups;
    }

    static void WalkGroups(const CPage& page, const tLayoutNode& node, const std::string& group,
                           std::vector<std::string>& groups) {
        const auto& controls = page.Controls();
        std::string inner = group;
        if (node.type == tLayoutNode::EType::Group && node.control >= 0 &&
            static_cast<std::size_t>(node.control) < controls.size()) {
            if (std::string caption = ReadableCaption(controls[node.control]->Text());
                !caption.empty())
                inner = std::move(caption);
        }
        if (node.type == tLayoutNode::EType::Control && node.control >= 0 &&
            static_cast<std::size_t>(node.control) < groups.size())
            groups[node.control] = group;
        for (const tLayoutNode& child : node.children)
            WalkGroups(page, child, inner, groups);
    }

    void AddPage(CModuleBase& module, const CPage& page,
                 const std::vector<const CPageControl*>& holders, const std::string& outer) {
        const auto& controls = page.Controls();
        const std::vector<std::string> groups = GroupCaptions(page, outer);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            CPageControl& control = *controls[i];
            if (CPage* sub = control.SubPage()) {
                std::vector<const CPageControl*> inner{&control};
                inner.insert(inner.end(), holders.begin(), holders.end());
                AddPage(module, *sub, inner, groups[i]);
                continue;
            }
            if (!IsValueControl(control.Kind()))
                continue;
            AddControl(module, control, LabelCaption(i > 0 ? controls[i - 1].get() : nullptr),
                       holders);
            if (m_entries.size() > 0 && m_entries.back().control == &control)
                m_entries.back().group = groups[i];
        }
    }

    // Settings of one module that share a caption get what tells them apart: their group's
    // title when that differs between them, else their register and bits, else their number
    // in dialog order.
    void Disambiguate(std::size_t first) {
        std::unordered_map<std::string, std::vector<std::size_t>> byCaption;
        std::vector<const std::string*> order;
        for (std::size_t i = first; i < m_entries.size(); ++i) {
            auto [at, added] = byCaption.try_emplace(m_entries[i].caption);
            if (added)
                order.push_back(&at->first);
            at->second.push_back(i);
        }
        for (const std::string* caption : order) {
            const std::vector<std::size_t>& same = byCaption[*caption];
            if (same.size() < 2)
                continue;
            const auto distinct = [&](std::string tEntry::*member) {
                std::unordered_set<std::string> seen;
                for (const std::size_t j : same) {
                    const std::string& text = m_entries[j].*member;
                    if (text.empty() || !seen.insert(text).second)
                        return false;
                }
                return true;
            };
            std::string tEntry::*context = distinct(&tEntry::group)          ? &tEntry::group
                                           : distinct(&tEntry::registerText) ? &tEntry::registerText
                                                                             : nullptr;
            for (std::size_t n = 0; n < same.size(); ++n) {
                tEntry& entry = m_entries[same[n]];
                entry.caption +=
                    " (" + (context ? entry.*context : "#" + std::to_string(n + 1)) + ")";
            }
        }
    }

    void AddControl(CModuleBase& module, CPageControl& control, const std::string& label,
                    const std::vector<const CPageControl*>& holders) {
        auto* binding = dynamic_cast<CSetCtrl*>(control.Handler());
        // The texts that name the setting, the label first: the first becomes its caption.
        std::vector<std::string> names;
        auto addName = [&names](std::string name) {
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(std::move(name));
        };
        addName(label);
        if (HasOwnCaption(control.Kind()))
            addName(ReadableCaption(control.Text()));
        if (binding)
            addName(ReadableCaption(binding->Field().description));
        if (names.empty())
            addName(EntriesCaption(control));
        // A derived value without a label, or a control nobody named, cannot be found by words.
        if (names.empty())
            return;

        tEntry entry;
        entry.module = &module;
        entry.control = &control;
        entry.holders = holders;
        entry.controlId = LinkControlId(module, control, holders.empty() ? nullptr : holders[0]);
        entry.caption = names.front();
        for (const std::string& name : names)
            entry.keys.push_back({LowerAscii(name), name, EKeyKind::Caption});
        if (binding && (dynamic_cast<CSetMode*>(binding) || dynamic_cast<CSetEnum*>(binding))) {
            for (const std::string& item : control.Items()) {
                std::string shown = OneLine(item);
                if (!shown.empty())
                    entry.keys.push_back({LowerAscii(shown), "Entry: " + shown, EKeyKind::Entry});
            }
        }
        if (binding) {
            if (const tPerCfgItem* item = BindingRegister(*binding, module)) {
                entry.registerText = BindingRegisterText(*binding, module);
                entry.keys.push_back({LowerAscii(module.GetDefineName(*item)),
                                      "Register: " + entry.registerText, EKeyKind::Register});
            }
        }
        m_entries.push_back(std::move(entry));
    }

    std::vector<tEntry>& m_entries;
};

// A found entry: its rank (lower first), its place in the index, and the key that matched.
struct tHit {
    int rank;
    std::size_t index;
    const tEntry::tKey* key;
};

} // namespace

std::string tSearchResult::Text() const {
    std::string text = (module ? module->Title() : std::string()) + ": " + caption;
    if (!value.empty())
        text += kResultValueSeparator + value;
    return text;
}

CSettingSearch::CSettingSearch() = default;
CSettingSearch::~CSettingSearch() = default;

void CSettingSearch::Build(const CModuleTree& tree) {
    m_entries.clear();
    std::unordered_set<const CModuleBase*> seen;
    CIndexer indexer(m_entries);
    tree.ForEachItem([&](CModuleTreeItem& item) {
        CModuleBase* module = item.Module();
        if (module && seen.insert(module).second)
            indexer.AddModule(*module);
    });
    m_built = true;
}

void CSettingSearch::Clear() {
    m_entries.clear();
    m_built = false;
}

std::size_t CSettingSearch::EntryCount() const {
    return m_entries.size();
}

std::vector<tSearchResult> CSettingSearch::Find(std::string_view query, std::size_t limit,
                                                std::size_t* total) const {
    if (total)
        *total = 0;
    const std::string wanted = LowerAscii(Trim(query));
    if (wanted.empty())
        return {};

    std::vector<tHit> hits;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const tEntry& entry = m_entries[i];
        tHit best{-1, i, nullptr};
        for (const tEntry::tKey& key : entry.keys) {
            const int quality = MatchQuality(key.lower, wanted);
            if (quality < 0)
                continue;
            // Captions rank 0..2; list entries and registers after them, a word start first.
            const int rank = key.kind == EKeyKind::Caption ? quality : (quality < 2 ? 3 : 4);
            if (best.rank < 0 || rank < best.rank)
                best = {rank, i, &key};
        }
        if (best.rank >= 0 && entry.IsShown())
            hits.push_back(best);
    }
    // The index is in tree and dialog order already: a stable sort by rank keeps that order.
    std::stable_sort(hits.begin(), hits.end(),
                     [](const tHit& a, const tHit& b) { return a.rank < b.rank; });
    if (total)
        *total = hits.size();
    if (hits.size() > limit)
        hits.resize(limit);

    std::vector<tSearchResult> results;
    results.reserve(hits.size());
    for (const tHit& hit : hits) {
        const tEntry& entry = m_entries[hit.index];
        tSearchResult result;
        result.module = entry.module;
        result.control = entry.control;
        result.controlId = entry.controlId;
        result.caption = entry.caption;
        result.value = SettingValueText(*entry.module, *entry.control);
        if (hit.key != &entry.keys.front())
            result.matched = hit.key->shown;
        results.push_back(std::move(result));
    }
    return results;
}

std::string SettingValueText(const CModuleBase& module, const CPageControl& control) {
    if (auto* binding = dynamic_cast<CSetCtrl*>(control.Handler())) {
        // Worded as the header's summary words it, also while the control is disabled or
        // hidden (the summary then leaves it out).
        CActiveSummarySource active(*binding);
        const std::vector<tSettingText> settings =
            SummarySettings({{&active, SummaryWordingOf(module, binding)}});
        // A box worded by its description alone has no value of its own in the summary.
        if (!settings.empty() && !settings.front().label.empty())
            return OneLine(settings.front().value);
    }
    switch (control.Kind()) {
    case EControlKind::CheckBox:
        return control.Check() == 1 ? "checked" : control.Check() == 2 ? "mixed" : "not checked";
    case EControlKind::RadioButton:
        return control.Check() == 1 ? "chosen" : "not chosen";
    case EControlKind::DropList:
    case EControlKind::DropDown:
    case EControlKind::ListBox:
        if (const std::string* item = control.SelectedItem())
            return OneLine(*item);
        return control.Kind() == EControlKind::DropDown ? OneLine(control.Text()) : std::string();
    default:
        return OneLine(control.Text());
    }
}

bool IsControlShown(const CPageControl& control) {
    if (!control.IsVisible())
        return false;
    // A sub-page shows while the placeholder that holds it does, up to the module's page.
    for (const CPage* page = &control.Page(); page->Parent(); page = page->Parent()) {
        const auto& holders = page->Parent()->Controls();
        const auto holder = std::find_if(holders.begin(), holders.end(),
                                         [page](const auto& c) { return c->SubPage() == page; });
        if (holder == holders.end() || !(*holder)->IsVisible())
            return false;
    }
    return true;
}

EShowResult ShowSearchResult(const tSearchResult& result) {
    assert(result.module && result.control);
    CModuleBase& module = *result.module;
    if (!module.Host() || !module.Host()->ShowModulePage(module))
        return EShowResult::PageRefused;
    // A page shown for the first time works out which of its controls its settings show.
    if (!IsControlShown(*result.control))
        return EShowResult::ControlHidden;
    const std::string tip = module.Title() + ": " + result.caption;
    if (result.controlId != 0) {
        // The same way as a module link to the control, so the module hears it as one.
        const std::string link = "hwc:" + module.InstanceName() + "/" + module.TypeKey() + "/" +
                                 std::to_string(static_cast<std::uint32_t>(result.controlId));
        module.NavigateTo(nullptr, link, tip);
    } else {
        result.control->Page().ShowToolTip(*result.control, tip, std::string());
    }
    return EShowResult::Shown;
}

} // namespace hwc
