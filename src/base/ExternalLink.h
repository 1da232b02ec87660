#pragma once
// Links that are not module links (web addresses, files) are opened by the desktop's default
// program. The desktop installs the opener; headless runs have none, so opening fails there.

#include <functional>
#include <string>

namespace hwc {

using ExternalLinkOpener = std::function<bool(const std::string& link)>;

// Installs the opener (empty: none); returns the previous one.
ExternalLinkOpener SetExternalLinkOpener(ExternalLinkOpener opener);
// True when the opener took the link.
bool OpenExternalLink(const std::string& link);

} // namespace hwc
