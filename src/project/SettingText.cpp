#include "project/SettingText.h"

#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "model/Page.h"
#include "model/Summary.h"

namespace hwc {

std::string OneLine(std::string_view raw) {
    std::string text;
    text.reserve(raw.size());
    for (const char c : raw) {
        const char shown = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
        if (shown == ' ' && (text.empty() || text.back() == ' '))
            continue;
        text += shown;
    }
    return std::string(Trim(text));
}

std::string ReadableCaption(std::string_view raw) {
    if (const std::size_t mark = raw.find("##"); mark != std::string_view::npos && mark > 0)
        raw = raw.substr(0, mark);
    const std::string text = ReplaceAll(OneLine(raw), "&&", "&");
    std::string_view trimmed = text;
    while (!trimmed.empty() && trimmed.back() == ':')
        trimmed = TrimRight(trimmed.substr(0, trimmed.size() - 1));
    return std::string(trimmed);
}

std::string LabelCaption(const CPageControl* before) {
    if (!before || before->Kind() != EControlKind::Static ||
        before->Text().find('\t') != std::string::npos)
        return {};
    return ReadableCaption(before->Text());
}

std::string EntriesCaption(const CPageControl& control) {
    if (control.Kind() != EControlKind::DropList && control.Kind() != EControlKind::DropDown)
        return {};
    std::string caption;
    for (const std::string& item : control.Items()) {
        const std::string entry = ReadableCaption(item);
        if (entry.empty())
            continue;
        if (!caption.empty())
            caption += " / ";
        caption += entry;
    }
    return caption;
}

std::uint32_t SummaryWordingOf(const CModuleBase& module, const ISummarySource* binding) {
    for (const COMMENTITEM& item : module.CommentItems()) {
        if (item.binding == binding)
            return item.flags & SumFlag::WORDING_MASK;
    }
    return 0;
}

} // namespace hwc
