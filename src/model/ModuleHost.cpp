#include "model/ModuleHost.h"

namespace hwc {
namespace {
IModuleHost* g_hostBeingOpened = nullptr;
} // namespace

IModuleHost* HostBeingOpened() {
    return g_hostBeingOpened;
}
void SetHostBeingOpened(IModuleHost* host) {
    g_hostBeingOpened = host;
}

} // namespace hwc
