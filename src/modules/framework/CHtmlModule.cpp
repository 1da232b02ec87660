#include "modules/framework/CHtmlModule.h"

#include "header/HeaderWriter.h"

namespace {

CHtmlModule* g_currentHtmlModule = nullptr;

} // namespace

CHtmlModule::CHtmlModule(CModuleBase* parent, unsigned templateId,
                         const CModuleDescriptor* descriptor, const tPerCfgDef* table, int count)
    : CModule(parent, templateId, descriptor, table, count) {}

CHtmlModule::~CHtmlModule() {
    if (m_navigator)
        m_navigator->ModuleDestroyed();
    if (g_currentHtmlModule == this)
        g_currentHtmlModule = nullptr;
}

CHtmlModule* CHtmlModule::Current() {
    return g_currentHtmlModule;
}

void CHtmlModule::Navigate(const std::string& address) {
    if (!m_navigator) {
        m_pendingAddress = address;
        return;
    }
    g_currentHtmlModule = this;
    if (m_pluginMode && address == m_shownAddress) {
        m_navigator->Redraw();
        return;
    }
    m_navigator->LoadAddress(address);
    m_shownAddress = address;
}

void CHtmlModule::SetNavigator(INavigator* navigator) {
    m_navigator = navigator;
    if (!navigator)
        return;
    std::string address = m_pendingAddress.empty() ? m_pageAddress : m_pendingAddress;
    m_pendingAddress.clear();
    if (!address.empty())
        Navigate(address);
}

void CHtmlModule::PageLoaded() {
    OnPageLoaded();
}

bool CHtmlModule::ElementActivated(const std::string& elementId) {
    return OnElementActivated(elementId);
}

std::optional<std::string> CHtmlModule::CallScript(const std::string& function,
                                                   const std::vector<std::string>& arguments) {
    if (!m_navigator)
        return std::nullopt;
    return m_navigator->CallScript(function, arguments);
}

void CHtmlModule::GetSummary(std::string& text) const {
    text += hwc::HtmlModuleCommentBlock(Title(), m_commentText);
}

namespace hwc {

std::string HtmlModuleCommentBlock(std::string_view title, std::string_view commentText) {
    // The header writer's form, which also keeps a "*/" in the page's text from ending the
    // comment early.
    return HtmlModuleSectionHeader(title, commentText);
}

} // namespace hwc
