#include "base/ExternalLink.h"

#include <utility>

namespace hwc {
namespace {
ExternalLinkOpener& Opener() {
    static ExternalLinkOpener opener;
    return opener;
}
} // namespace

ExternalLinkOpener SetExternalLinkOpener(ExternalLinkOpener opener) {
    return std::exchange(Opener(), std::move(opener));
}

bool OpenExternalLink(const std::string& link) {
    return Opener() && Opener()(link);
}

} // namespace hwc
