// Moving a module's item values in and out: from a definition table and a parsed header, into
// the module's block of the header, against the saved state, and from another module.

#include <algorithm>
#include <cassert>
#include <cstring>

#include "base/FixedText.h"
#include "base/Messages.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "header/HeaderWriter.h"
#include "header/KeptComment.h"
#include "model/ModuleBase.h"
#include "model/RegisterValue.h"

using namespace hwc;

namespace {

// Column at which the value of a short define starts.
constexpr std::size_t kValueColumn = 42;

bool IsQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

// Takes the value of a found header entry into the item. False when a numeric value cannot be
// read (no integer constant, or one that does not fit 32 bits): the item is then left as it was.
bool TakeEntryValue(tPerCfgItem& item, const CAppcfgEntry& entry) {
    const bool numeric = !(item.dwFlags & (RegFlag::STRVALUE | RegFlag::NOVALUE));
    const auto number = numeric ? ReadIntegerConstant(entry.value) : std::nullopt;
    if (numeric && !number)
        return false;
    CopyCut(item.szComment, entry.comment);
    CopyCut(item.szValue, entry.value);
    if (item.dwFlags & RegFlag::STRVALUE) {
        item.dwValue = 1;
        const std::string_view value = FieldText(item.szValue);
        if ((item.dwFlags & RegFlag::QUOTEDVALUE) && IsQuoted(value))
            CopyCut(item.szValue, std::string(value.substr(1, value.size() - 2)));
        return true;
    }
    if (item.dwFlags & RegFlag::NOVALUE) {
        item.dwValue = 1;
        return true;
    }
    item.dwValue = *number;
    return true;
}

std::string InternalLine(const tPerCfgItem& item) {
    const bool empty = (item.dwFlags & RegFlag::STRVALUE) && item.dwValue == 0;
    return std::string(FieldText(item.szName)) + "=" +
           (empty ? std::string() : WrittenValueText(item)) + "\n";
}

// Whether DefineLine gives a line for the item: a bare define that is absent is written only as
// an #undef with the defaults, and a text item without text not at all.
bool WritesLine(const tPerCfgItem& item, bool generateDefaults) {
    if (item.dwFlags & RegFlag::NOVALUE)
        return item.dwValue != 0 || generateDefaults;
    return !((item.dwFlags & RegFlag::STRVALUE) && item.dwValue == 0);
}

// The define line of an item without its line end, or an empty text when none is written.
std::string DefineLine(const tPerCfgItem& item, const std::string& defineName,
                       bool generateDefaults) {
    if (!WritesLine(item, generateDefaults))
        return {};
    const std::string head = "#define " + defineName;
    if (item.dwFlags & RegFlag::NOVALUE)
        return item.dwValue != 0 ? head : "#undef " + defineName;
    // With the padding, the value starts at kValueColumn.
    const std::size_t padding = head.size() < kValueColumn - 2 ? kValueColumn - 2 - head.size() : 0;
    return head + " " + std::string(padding, ' ') + " " + WrittenValueText(item);
}

bool DiffersFromSaved(const tPerCfgItem& item) {
    return item.dwValue != item.dwSaved || FieldText(item.szValue) != FieldText(item.szSaved);
}

} // namespace

int CModuleBase::InitRegisters(CAppcfgFile* header, tPerCfgItem* items, int count,
                               std::string_view prefix, std::string_view suffix,
                               const tPerCfgDef* table, bool reset,
                               std::vector<tUnreadableValue>* unreadable) {
    assert(items || count <= 0);
    std::string invalid;
    int found = 0;
    for (int i = 0; i < count; ++i) {
        tPerCfgItem& item = items[i];
        if (table) {
            SetItemDefinition(item, table[i]);
            if (reset) {
                item.dwValue = item.dwDefault;
                item.szValue[0] = '\0';
                item.szComment[0] = '\0';
            }
        }
        std::memcpy(item.szSaved, item.szValue, sizeof(item.szSaved));
        item.dwSaved = item.dwValue;
        // A register the processor lacks is never written, so it must not take its define away
        // from the user definitions, which keep it.
        if (!header || (item.dwFlags & RegFlag::DUMMYREG))
            continue;

        const std::string itemName(FieldText(item.szName));
        const std::string defineName = MakeDefineName(prefix, itemName, suffix);
        CAppcfgEntry* entry = (item.dwFlags & RegFlag::INTERNAL)
                                  ? header->GetParam(std::string(prefix), itemName)
                                  : header->GetEntry(defineName);
        if (!entry)
            continue;
        if (!TakeEntryValue(item, *entry)) {
            invalid += "     #define " + defineName + " " + entry->value + "\n";
            item.dwValue = item.dwDefault;
            // A define stays with the user definitions, so its text survives the save; an
            // internal parameter is the tool's own and takes the default.
            if (!(item.dwFlags & RegFlag::INTERNAL)) {
                if (unreadable)
                    unreadable->push_back({i, defineName, entry->value});
                continue;
            }
        }
        std::memcpy(item.szSaved, item.szValue, sizeof(item.szSaved));
        item.dwSaved = item.dwValue;
        entry->Claim();
        ++found;
    }
    if (!invalid.empty())
        ShowMessage("Invalid values found (ignoring):\n\n" + invalid +
                    "\nThe registers keep their defaults; the lines are kept as user definitions.");
    return found;
}

bool CModuleBase::LoadFromHeader(CAppcfgFile* header) {
    if (!m_headerFile)
        m_headerFile = header;
    m_unreadable.clear();
    m_selectedAtSave = InitRegisters(m_headerFile, m_items.get(), m_itemCount, InstanceName(), {},
                                     nullptr, true, &m_unreadable) > 0;
    if (m_host) {
        for (int i = 0; i < m_itemCount; ++i)
            m_host->RegisterItem(m_items[i], *this);
    }
    SetSelected(m_selectedAtSave);
    return m_selectedAtSave;
}

bool CModuleBase::LeavesDefineToUser(int index) const {
    for (const tUnreadableValue& value : m_unreadable) {
        if (value.index == index)
            return m_items[index].dwValue == m_items[index].dwDefault;
    }
    return false;
}

bool CModuleBase::TakesBackDefine(std::string_view defineName) const {
    for (const tUnreadableValue& value : m_unreadable) {
        if (value.defineName == defineName)
            return !LeavesDefineToUser(value.index);
    }
    return false;
}

CModuleBase::EWritten CModuleBase::WrittenAs(int index, bool generateDefaults) const {
    const tPerCfgItem& item = m_items[index];
    if ((item.dwFlags & RegFlag::DUMMYREG) || LeavesDefineToUser(index))
        return EWritten::No;
    if (item.dwFlags & RegFlag::INTERNAL)
        return EWritten::Internal;
    if (item.dwValue == item.dwDefault && !(item.dwFlags & RegFlag::NODEFAULT) && !generateDefaults)
        return EWritten::No;
    return WritesLine(item, generateDefaults) ? EWritten::Define : EWritten::No;
}

int CModuleBase::GetHeaderText(std::string& text) const {
    const bool generateDefaults = m_host && m_host->GenerateDefaults();
    const bool keepComments = m_host && m_host->KeepUserComments();
    std::string internal;
    std::string defines;
    int changed = 0;
    for (int i = 0; i < m_itemCount; ++i) {
        const tPerCfgItem& item = m_items[i];
        if ((item.dwFlags & RegFlag::DUMMYREG) || LeavesDefineToUser(i))
            continue;
        if (item.dwFlags & RegFlag::INTERNAL) {
            internal += InternalLine(item);
            continue;
        }
        // A changed value counts even when it writes no line (an absent bare define).
        if (item.dwValue != item.dwDefault && !(item.dwFlags & RegFlag::NONCRITICAL))
            ++changed;
        if (WrittenAs(i, generateDefaults) != EWritten::Define)
            continue;
        std::string line = DefineLine(item, GetDefineName(item), generateDefaults);
        const std::string_view comment = FieldText(item.szComment);
        if (keepComments && !comment.empty())
            AppendKeptComment(line, comment);
        defines += line + "\n";
    }
    if (!internal.empty())
        text += InternalParameterBlock(InstanceName(), internal);
    text += defines;
    return changed;
}

std::vector<tWrittenDefine> CModuleBase::WrittenDefines() const {
    const bool generateDefaults = m_host && m_host->GenerateDefaults();
    std::vector<tWrittenDefine> written;
    for (int i = 0; i < m_itemCount; ++i) {
        const tPerCfgItem& item = m_items[i];
        const EWritten how = WrittenAs(i, generateDefaults);
        if (how == EWritten::No)
            continue;
        const bool empty = (item.dwFlags & RegFlag::STRVALUE) && item.dwValue == 0;
        std::string value = (item.dwFlags & RegFlag::NOVALUE) ? std::string()
                            : empty                           ? std::string()
                                                              : WrittenValueText(item);
        if ((item.dwFlags & RegFlag::NOVALUE) && item.dwValue == 0)
            value = "#undef";
        const bool internal = how == EWritten::Internal;
        written.push_back({i, internal ? std::string(FieldText(item.szName)) : GetDefineName(item),
                           std::move(value), internal});
    }
    return written;
}

bool CModuleBase::WriteHeaderText(std::string& text) {
    std::string moduleText;
    const int changed = GetHeaderText(moduleText);
    if (changed > 0 && !IsSelected()) {
        std::string name = Title();
        if (name != TypeKey())
            name += " - " + TypeKey();
        const EAnswer answer = ShowMessage(
            "Warning: Module " + name +
                " is not selected to be written into the configuration file. Any changes in this "
                "module will be lost!\n\nDo you want to keep changes in this module?\n\nYes "
                "includes the module and writes it into the file; No leaves it out and its "
                "changes are lost; Cancel stops saving.",
            EButtons::YesNoCancel, EAnswer::Yes);
        if (answer == EAnswer::Cancel)
            return false;
        if (answer == EAnswer::Yes)
            SetSelected(true);
    }
    if (!IsSelected()) {
        text.clear();
        return true;
    }
    text += moduleText;
    return true;
}

bool CModuleBase::IsModified() const {
    for (int i = 0; i < m_itemCount; ++i) {
        const tPerCfgItem& item = m_items[i];
        if (item.dwFlags & (RegFlag::DUMMYREG | RegFlag::NONCRITICAL))
            continue;
        if (DiffersFromSaved(item))
            return true;
    }
    return m_selectedAtSave != IsSelected();
}

bool CModuleBase::MarkSaved() {
    for (int i = 0; i < m_itemCount; ++i) {
        tPerCfgItem& item = m_items[i];
        item.dwSaved = item.dwValue;
        std::memcpy(item.szSaved, item.szValue, sizeof(item.szSaved));
    }
    m_selectedAtSave = IsSelected();
    return m_selectedAtSave;
}

bool CModuleBase::ImportFrom(const CModuleBase& source, const std::vector<int>* indexes, bool ask) {
    // A source of another kind, or one refused (a processor of another generation), gives
    // nothing: its positions mean other registers.
    bool forbidden = false;
    if (!IsImportCompatible(source, forbidden) || forbidden)
        return false;
    const int common = std::min(m_itemCount, source.ItemCount());
    std::vector<int> candidates;
    if (indexes) {
        for (int index : *indexes) {
            if (index >= 0 && index < common)
                candidates.push_back(index);
        }
    } else {
        for (int index = 0; index < common; ++index)
            candidates.push_back(index);
    }

    std::vector<int> toCopy;
    for (int index : candidates) {
        const tPerCfgItem& own = m_items[index];
        const tPerCfgItem& other = source.Item(index);
        if (own.dwFlags & (RegFlag::NOIMPORT | RegFlag::DUMMYREG))
            continue;
        if (FieldText(own.szName) != FieldText(other.szName)) {
            EAnswer answer = EAnswer::No;
            if (ask) {
                answer = ShowMessage(
                    Format("The register names do not match! The %s register value will set to "
                           "value of the %s register from the source project\n\nDo you want this "
                           "to happen?",
                           GetDefineName(own).c_str(), source.GetDefineName(other).c_str()),
                    EButtons::YesNoCancel, EAnswer::No);
            }
            if (answer == EAnswer::Cancel)
                return false;
            if (answer != EAnswer::Yes)
                continue;
        }
        toCopy.push_back(index);
    }

    for (int index : toCopy) {
        tPerCfgItem& own = m_items[index];
        const tPerCfgItem& other = source.Item(index);
        own.dwValue = other.dwValue;
        std::memcpy(own.szValue, other.szValue, sizeof(own.szValue));
        // A value taken from a register of another name may be wider than this one.
        const bool numeric = !(own.dwFlags & (RegFlag::STRVALUE | RegFlag::NOVALUE));
        if (numeric && !(own.dwFlags & RegFlag::SIGNEDVALUE) &&
            FieldText(own.szName) != FieldText(other.szName))
            own.dwValue &= RegisterLimit(own.dwFlags);
    }
    if (toCopy.empty())
        return false;
    RefreshControls();
    Recalculate();
    return true;
}
