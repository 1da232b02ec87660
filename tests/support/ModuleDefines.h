#pragma once
// What a module writes to the header, as the module tests compare it: its define names in
// register order, and the defines its section writes (name to value text).

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model/ModuleBase.h"

namespace hwc::test {

inline std::vector<std::string> DefineNames(const CModuleBase& module) {
    std::vector<std::string> names;
    for (int i = 0; i < module.ItemCount(); ++i)
        names.push_back(module.GetDefineName(module.Item(i)));
    return names;
}

// Empty when the module writes nothing.
inline std::map<std::string, std::string> WrittenDefines(CModuleBase& module) {
    std::string text;
    if (!module.WriteHeaderText(text))
        return {};
    std::map<std::string, std::string> defines;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string directive, name, value;
        words >> directive >> name >> value;
        if (directive == "#define")
            defines[name] = value;
    }
    return defines;
}

} // namespace hwc::test
