#include "modules/system/CpmSYS_V1.h"

#include "base/TextUtil.h"

using namespace hwc;
using namespace hwc::RegFlag;

namespace {

constexpr int kControlItem = 0;
constexpr int kBusControlItem = 1;
constexpr int kFirstPullUpBit = 4;
constexpr const char* kPorts = "ABCDEF";

tSystemLayout Build() {
    tSystemLayout layout;
    layout.templateId = CpmSYS_V1::kTemplateId;
    layout.registers = {{"-SYS_CNTL_INIT", 0, DW16}, {"-BCR_INIT", 0, DW16}};
    layout.Add(ESystemGroup::Operation, kControlItem, 0, 1, "STOP mode:", StopWaitChoices());
    layout.Add(ESystemGroup::Operation, kControlItem, 2, 3, "WAIT mode:", StopWaitChoices());
    for (int port = 0; kPorts[port]; ++port) {
        const int bit = kFirstPullUpBit + port;
        layout.Add(ESystemGroup::Operation, kControlItem, bit, bit,
                   Format("Disable pull-ups of port %c", kPorts[port]), {},
                   Format("GPIO_%c", kPorts[port]));
    }
    std::vector<std::string> waitStates;
    for (int n = 0; n < 16; ++n)
        waitStates.push_back(Format(n == 1 ? "%d wait state" : "%d wait states", n));
    layout.Add(ESystemGroup::Other, kBusControlItem, 0, 3, "External bus:", waitStates);
    layout.Add(ESystemGroup::Other, kBusControlItem, 8, 8, "Drive the bus pins while idle");
    return layout;
}

} // namespace

const tSystemLayout& CpmSYS_V1::LayoutFor() {
    static const tSystemLayout layout = Finished(Build());
    return layout;
}

CpmSYS_V1::CpmSYS_V1(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmSystemModule(parent, descriptor, LayoutFor()) {}
