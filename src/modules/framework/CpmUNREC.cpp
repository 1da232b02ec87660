#include "modules/framework/CpmUNREC.h"

#include <utility>

#include "header/AppcfgFile.h"
#include "model/DialogTemplate.h"
#include "header/HeaderWriter.h"
#include "header/KeptComment.h"
#include "base/Messages.h"
#include "base/TextUtil.h"

using namespace hwc;

namespace {

constexpr const char* kBlockHeading =
    "\n\n/*.\n    User definitions\n    ----------------- \n.*/\n";
// The line is filled with blanks to this width before the value.
constexpr std::size_t kValueColumn = 40;

const CModuleDescriptor& UnnamedDescriptor() {
    static const CModuleDescriptor descriptor(CpmUNREC::kTypeKey, CpmUNREC::kTypeKey);
    return descriptor;
}

std::string RecordLine(const tUnrecRecord& record, bool keepComments) {
    std::string line = "#define   " + record.name;
    if (line.size() < kValueColumn)
        line.append(kValueColumn - line.size(), ' ');
    line += ' ';
    line += record.value;
    if (keepComments && !record.comment.empty())
        AppendKeptComment(line, record.comment);
    return line + "\n";
}

// Whether a module now writes the define itself: one whose value it could not read when the
// project was opened, and which has been set since.
bool TakenBackByModule(const IModuleHost* host, std::string_view name) {
    if (!host)
        return false;
    for (std::size_t i = 0; i < host->ModuleCount(); ++i) {
        if (host->ModuleAt(i)->TakesBackDefine(name))
            return true;
    }
    return false;
}

} // namespace

CpmUNREC::CpmUNREC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModuleBase(parent, kTemplateId, descriptor ? descriptor : &UnnamedDescriptor(), nullptr, 0) {
}

bool CpmUNREC::LoadFromHeader(CAppcfgFile* header) {
    if (!HeaderFile())
        SetHeaderFile(header);
    m_records.clear();
    m_parameters.clear();
    if (CAppcfgFile* source = HeaderFile()) {
        for (const auto& [module, block] : source->ParameterBlocks()) {
            std::string lines;
            for (CAppcfgEntry* entry : block->InFileOrder()) {
                if (entry->IsClaimed())
                    continue;
                lines += entry->name + "=" + entry->value + "\n";
                entry->Claim();
            }
            if (!lines.empty())
                m_parameters.push_back({module, std::move(lines)});
        }
        for (CAppcfgEntry* entry : source->Definitions().InFileOrder()) {
            if (!entry || entry->IsClaimed())
                continue;
            m_records.push_back({entry->name, entry->value, entry->comment});
            entry->Claim();
        }
    }
    const bool found = !m_records.empty() || !m_parameters.empty();
    if (CPage* page = Page())
        AttachControls(*page);
    SetSelected(found);
    MarkSaved();
    return found;
}

// Unselecting the module would silently drop every definition it keeps: the user is asked
// first, and may keep them (the module is selected again) or cancel the save.
bool CpmUNREC::ConfirmDroppingDefinitions() {
    if (m_records.empty() && m_parameters.empty())
        return true;
    std::string what = Format("%zu user definition%s", m_records.size(),
                              m_records.size() == 1 ? "" : "s");
    if (!m_parameters.empty())
        what += Format(" and the parameters of %zu unknown module%s", m_parameters.size(),
                       m_parameters.size() == 1 ? "" : "s");
    const EAnswer answer = ShowMessage(
        "Warning: \"Unrecognized Definitions\" is not selected to be written into the "
        "configuration file: " +
            what +
            " will be removed from the header!\n\nDo you want to keep them?\n\n"
            "Yes keeps them and selects the module again, No removes them from the header, "
            "Cancel does not save.",
        EButtons::YesNoCancel, EAnswer::Yes);
    if (answer == EAnswer::Cancel)
        return false;
    if (answer == EAnswer::Yes)
        SetSelected(true);
    return true;
}

bool CpmUNREC::WriteHeaderText(std::string& text) {
    text.clear();
    if (!IsSelected() && !ConfirmDroppingDefinitions())
        return false;
    if (!IsSelected())
        return true;
    if (!m_records.empty()) {
        const bool keepComments = Host() && Host()->KeepUserComments();
        std::string lines;
        for (const tUnrecRecord& record : m_records) {
            if (!TakenBackByModule(Host(), record.name))
                lines += RecordLine(record, keepComments);
        }
        if (!lines.empty())
            text = kBlockHeading + lines;
    }
    for (const tUnrecParameters& parameters : m_parameters)
        text += InternalParameterBlock(parameters.module, parameters.lines);
    return true;
}

const CDialogTemplate* CpmUNREC::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId, {dlg::Label("Definitions of the header that no module uses. They are written "
                                 "back unchanged as user definitions."),
                      dlg::ListBox(kListId)});
    return &page;
}

void CpmUNREC::AttachControls(CPage& page) {
    if (CPageControl* list = page.FindControl(kListId))
        list->SetItems(ListBoxLines());
}

std::vector<std::string> CpmUNREC::ListBoxLines() const {
    std::vector<std::string> lines;
    lines.reserve(m_records.size());
    for (const tUnrecRecord& record : m_records) {
        lines.push_back("#define " + record.name + " " + record.value);
    }
    return lines;
}
