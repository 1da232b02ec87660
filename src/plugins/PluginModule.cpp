#include "plugins/PluginModule.h"

#include <vector>

#include "base/FixedText.h"
#include "base/TextFile.h"
#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "plugins/ConfigToolObj.h"

namespace {

constexpr const char* kWarningDetailTitle = "Warning detail";

} // namespace

CPluginModule::CPluginModule(const CPluginInfo& info) : CPluginModule(info, MakeDescriptor(info)) {}

CPluginModule::CPluginModule(const CPluginInfo& info, const CModuleDescriptor& descriptor)
    : CHtmlModule(nullptr, 0, &descriptor, info.registers ? info.registers->Table() : nullptr,
                  info.registers ? info.registers->Count() : 0),
      m_info(info) {
    SetPageAddress(info.PageAddress());
    SetPluginFlags(true, info.earlyLoad, info.externalApp);
    // String registers start with the description file's default texts.
    for (int i = 0; i < ItemCount(); ++i) {
        tPerCfgItem& item = Item(i);
        if (!(item.dwFlags & hwc::RegFlag::STRVALUE))
            continue;
        hwc::CopyCut(item.szValue, info.registers->DefaultText(info.registers->Table()[i].pszName));
        hwc::CopyCut(item.szSaved, hwc::FieldText(item.szValue));
        item.dwSaved = item.dwValue;
    }
}

CPluginModule::~CPluginModule() {
    CConfigToolObj::FireProjectClosing(*this);
    CConfigToolObj::ForgetModule(*this);
}

const CPluginInfo& CPluginModule::Info() const {
    return m_info;
}

CModuleDescriptor CPluginModule::MakeDescriptor(const CPluginInfo& info) {
    CModuleDescriptor descriptor(info.id, info.className);
    descriptor.SetField(CModuleDescriptor::kDescription, info.name);
    descriptor.SetField(CModuleDescriptor::kHelpReference, info.helpFile);
    return descriptor;
}

bool CPluginModule::RefreshControls() {
    CConfigToolObj::FireRefreshAll(*this);
    return true;
}

bool CPluginModule::ApplyControls() {
    CConfigToolObj::FireUpdateAll(*this);
    return true;
}

void CPluginModule::CheckWarnings() {
    CHtmlModule::CheckWarnings();
    CConfigToolObj::FireCheckWarnings(*this);
}

void CPluginModule::GetSummary(std::string& text) const {
    CConfigToolObj::FireGenerateComment(*this);
    CHtmlModule::GetSummary(text);
}

bool CPluginModule::LoadFromHeader(CAppcfgFile* header) {
    const bool found = CHtmlModule::LoadFromHeader(header);
    const CAppcfgFile* own = HeaderFile();
    if (own && !own->Path().empty()) {
        hwc::CTextFile file;
        if (file.Load(own->Path())) {
            if (auto comment = hwc::FindHtmlModuleComment(file.Text(), Title()))
                SetCommentText(*comment);
        }
    }
    return found;
}

bool CPluginModule::WriteHeaderText(std::string& text) {
    std::vector<int> emptied;
    for (int i = 0; i < ItemCount(); ++i) {
        tPerCfgItem& item = Item(i);
        if ((item.dwFlags & hwc::RegFlag::STRVALUE) && item.dwValue == 0 && item.dwDefault != 0) {
            item.szValue[0] = '\0';
            item.dwValue = 1;
            emptied.push_back(i);
        }
    }
    const bool written = CHtmlModule::WriteHeaderText(text);
    for (int i : emptied)
        Item(i).dwValue = 0;
    return written;
}

bool CPluginModule::IsImportCompatible(const CModuleBase& other, bool& forbidden) const {
    forbidden = false;
    return other.IsKindOf(kRuntimeClass) && other.TypeKey() == TypeKey();
}

std::int32_t CPluginModule::ShowWarningDetail(int warningId, const std::string& text) {
    return CConfigToolObj::FireShowToolTip(*this, warningId, text, kWarningDetailTitle);
}

void CPluginModule::OnPageLoaded() {
    // The page has created its automation object by now and fills itself from the registers.
    CConfigToolObj::FireRefreshAll(*this);
}

namespace hwc {

std::optional<std::string> FindHtmlModuleComment(std::string_view headerText,
                                                 std::string_view title) {
    constexpr std::string_view kOpener = "/*.\n";
    constexpr std::string_view kCloser = "\n.*/";
    const std::string head = std::string(kOpener) + HtmlModuleCommentBlock(title, {});
    std::size_t from = 0;
    while (true) {
        const std::size_t at = headerText.find(head, from);
        if (at == std::string_view::npos)
            return std::nullopt;
        from = at + head.size();
        const std::size_t end = headerText.find(kCloser, from);
        if (end == std::string_view::npos)
            return std::nullopt;
        std::string_view rest = headerText.substr(from, end - from);
        if (rest.empty())
            return std::string();
        // Another section whose title only begins like this one (more dashes, more words).
        if (rest.front() != '\n')
            continue;
        // Every comment line was indented by four blanks.
        std::string comment;
        bool first = true;
        rest.remove_prefix(1);
        for (const std::string& line : Split(rest, '\n')) {
            std::string_view text = line;
            for (int blanks = 0; blanks < 4 && !text.empty() && text.front() == ' '; ++blanks)
                text.remove_prefix(1);
            if (!first)
                comment += '\n';
            comment += text;
            first = false;
        }
        return comment;
    }
}

} // namespace hwc
