#include "modules/system/SystemQueries.h"

#include "model/ModuleBase.h"
#include "model/ModuleLink.h"

namespace hwc {

namespace {

constexpr const char* kSystemInstance = "SYS";

const ISystemIntegration* ConstSystem(const CModuleBase& asker) {
    return FindSystemModule(asker);
}

} // namespace

ISystemIntegration* FindSystemModule(const CModuleBase& asker) {
    // Whatever its type key: a module of another class under the name answers nothing.
    return dynamic_cast<ISystemIntegration*>(
        CModuleBase::FindModule(asker.Host(), kSystemInstance));
}

bool SystemClockOutputSelectsOscillator(const CModuleBase& asker) {
    const ISystemIntegration* system = ConstSystem(asker);
    return system && system->ClockOutputSelectsOscillator();
}

bool SystemSelectsSecondClockInput(const CModuleBase& asker) {
    const ISystemIntegration* system = ConstSystem(asker);
    return system && system->SelectsSecondClockInput();
}

std::string SystemPeripheralClockLink(const CModuleBase& asker, std::string_view peripheral) {
    const ISystemIntegration* system = ConstSystem(asker);
    const std::uint32_t control = system ? system->PeripheralClockControl(peripheral) : 0;
    if (control == 0)
        return std::string(peripheral);
    const CModuleBase* module = CModuleBase::FindModule(asker.Host(), kSystemInstance);
    const std::string name(peripheral);
    return LinkText(module->InstanceName(), module->TypeKey(), module->Title(), name.c_str(),
                    control, nullptr, false);
}

bool SystemSciHighSpeedClock(const CModuleBase& asker, int instance) {
    const ISystemIntegration* system = ConstSystem(asker);
    return system && system->SciHighSpeedClock(instance);
}

bool SystemSciRxdFromCrossbar(const CModuleBase& asker, int instance) {
    const ISystemIntegration* system = ConstSystem(asker);
    return system && system->SciRxdFromCrossbar(instance);
}

bool SystemTimerHighSpeedClock(const CModuleBase& asker, char timer) {
    const ISystemIntegration* system = ConstSystem(asker);
    return system && system->TimerHighSpeedClock(timer);
}

bool SystemI2cFastClock(const CModuleBase& asker, int instance, bool& halved) {
    halved = false;
    const ISystemIntegration* system = ConstSystem(asker);
    if (!system)
        return false;
    const bool fast = system->I2cFastClock(instance, halved);
    if (!fast)
        halved = false;
    return fast;
}

bool SystemCopBusClockEnabled(const CModuleBase& asker, bool absent) {
    const ISystemIntegration* system = ConstSystem(asker);
    return system ? system->CopBusClockEnabled().value_or(absent) : absent;
}

bool SystemTimerEnabled(const CModuleBase& asker, int number, bool absent) {
    const ISystemIntegration* system = ConstSystem(asker);
    return system ? system->TimerEnabled(number).value_or(absent) : absent;
}

bool SystemMiscBit(const CModuleBase& asker, int bit, bool absent) {
    const ISystemIntegration* system = ConstSystem(asker);
    return system ? system->MiscBit(bit).value_or(absent) : absent;
}

tPerCfgItem* SystemMiscControlRegister(const CModuleBase& asker) {
    ISystemIntegration* system = FindSystemModule(asker);
    return system ? system->MiscControlRegister() : nullptr;
}

} // namespace hwc
