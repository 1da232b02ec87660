#include "modules/CpmUNREC.h"

#include <utility>

#include "header/AppcfgFile.h"
#include "model/DialogTemplate.h"
#include "header/HeaderWriter.h"
#include "header/KeptComment.h"

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

bool CpmUNREC::WriteHeaderText(std::string& text) {
    text.clear();
    if (!IsSelected())
        return true;
    if (!m_records.empty()) {
        const bool keepComments = Host() && Host()->KeepUserComments();
        text = kBlockHeading;
        for (const tUnrecRecord& record : m_records)
            text += RecordLine(record, keepComments);
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
