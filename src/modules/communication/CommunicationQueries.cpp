#include "modules/communication/CommunicationQueries.h"

#include "model/ModuleBase.h"

namespace hwc {

bool SerialTransmitterEnabled(const CModuleBase& asker, std::string_view instanceName,
                              bool absent) {
    const auto* serial = dynamic_cast<const ISerialTransmitter*>(
        CModuleBase::FindModule(asker.Host(), instanceName));
    return serial ? serial->IsTransmitterEnabled() : absent;
}

} // namespace hwc
