#pragma once
// What the GPIO port modules answer to the other modules beyond the pin contexts every module
// reaches through `CModule` (AddPinFunctions, SelectPinFunction): the ports of a document, the
// names of their pins, and what their pin descriptions mention.

#include <string>
#include <string_view>
#include <vector>

class CModuleBase;
class CModule;
struct tPerCfgItem;

namespace hwc {

// A described pin as the pin-out page names it.
struct tPinName {
    std::string pin;         // the pin as the port names it, "GPIO_A3"
    std::string name;        // the function it carries now ("GPIO" or the function's name)
    std::string description; // the pin's functions as the port lists them
};

class IGpioPort {
public:
    virtual ~IGpioPort() = default;
    // The described pins of the port, in pin order.
    virtual std::vector<tPinName> PinNames() const = 0;
    // Whether any pin description of the port names the text (e.g. a "CLKOSR" selector).
    virtual bool DescriptionMentions(std::string_view text) const = 0;
    // The port's peripheral-enable register, or null.
    virtual const tPerCfgItem* PeripheralEnableRegister() const = 0;
};

// The GPIO port modules of the asker's document, found as "GPIO_A".."GPIO_G" and
// "GPIOA".."GPIOG" (type "GPIO"), each once, in port order.
std::vector<CModule*> FindGpioModules(const CModuleBase& asker);
// The port interface of the named port, or null.
const IGpioPort* FindGpioPort(const CModuleBase& asker, std::string_view instanceName);

} // namespace hwc
