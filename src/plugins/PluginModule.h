#pragma once
// A software module declared by a plug-in description file: its page is the plug-in's web page,
// its registers the plug-in's register set, and its page script drives it through the
// automation object, which it tells when it refreshes, stores, checks, saves or closes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "modules/framework/CHtmlModule.h"
#include "plugins/PluginFile.h"

class CPluginModule : public CHtmlModule { // runtime class "CPluginModule"
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CPluginModule, CHtmlModule)
public:
    // Built while the document opens (hwc::HostBeingOpened()), like every module.
    explicit CPluginModule(const CPluginInfo& info);
    ~CPluginModule() override; // fires OnProjectClosing first
    const CPluginInfo& Info() const;

    // The page reads the registers when they are refreshed toward it, and writes them when it
    // is asked to store; there are no controls of its own.
    bool RefreshControls() override;
    bool ApplyControls() override;
    // The page raises its warnings after the module's own checks.
    void CheckWarnings() override;
    // The page sets the comment text before the summary is built from it.
    void GetSummary(std::string& text) const override;
    // Besides the values, takes back the comment of the module's section, so that a run
    // without page writes the comment the page once set.
    bool LoadFromHeader(CAppcfgFile* header) override;
    // A string register whose default text the page emptied is written with an empty value:
    // left out, it would read back as the default text.
    bool WriteHeaderText(std::string& text) override;
    // Only a module of the same plug-in class has registers of the same meaning.
    bool IsImportCompatible(const CModuleBase& other, bool& forbidden) const override;

    // The user asks for the detail of one of the module's warnings: the page answers (non-zero
    // when it showed something).
    std::int32_t ShowWarningDetail(int warningId, const std::string& text);

protected:
    void OnPageLoaded() override;

private:
    CPluginModule(const CPluginInfo& info, const CModuleDescriptor& descriptor);
    static CModuleDescriptor MakeDescriptor(const CPluginInfo& info);

    const CPluginInfo& m_info;
};

namespace hwc {

// The comment text of a web-page module's section in a header text ("\n" line ends), as
// HtmlModuleCommentBlock wrote it for that title; no value when the text has no such section.
std::optional<std::string> FindHtmlModuleComment(std::string_view headerText,
                                                 std::string_view title);

} // namespace hwc
