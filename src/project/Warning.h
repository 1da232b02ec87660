#pragma once
// The document's warning list: one entry per (module, indicator control), in the order first
// raised, with the plain text the warnings list shows and the page link it leads to.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CModuleBase;

struct CWarning {
    CModuleBase* owner = nullptr;
    int id = 0;              // the indicator control on the owner's page
    std::string text;        // plain text, markup and "Warning:"/"Error:" prefix removed
    std::string linkTarget;  // HREF of the message's first anchor, or empty
};

class CWarningList {
public:
    // Raises (active) or clears the warning of (owner, id). A raised warning keeps its place
    // and takes the new texts. Returns the warning raised or updated, or null when it was
    // cleared or not found.
    const CWarning* Set(CModuleBase* owner, int id, bool active, const char* message,
                        const char* detail);
    void Clear() { m_warnings.clear(); }
    // Drops every warning of a module that is being deleted.
    void RemoveOwner(const CModuleBase* owner);

    const std::vector<std::unique_ptr<CWarning>>& Items() const { return m_warnings; }
    std::size_t size() const { return m_warnings.size(); }
    bool empty() const { return m_warnings.empty(); }

private:
    std::vector<std::unique_ptr<CWarning>> m_warnings;
};

namespace hwc {

// The text between markup tags: every "<...>" dropped, a "<" without ">" drops the rest.
std::string StripMarkup(std::string_view message);
// The HREF value of the first "<A" tag of the message, or empty.
std::string FirstLinkTarget(std::string_view message);
// The list text of a warning: markup removed, a leading "Warning:" or "Error:" (any case) and
// the white space after it removed.
std::string WarningListText(std::string_view text);

} // namespace hwc
