#pragma once
// The module type registry: which module class the type key of a module descriptor stands for.
// It is the one place that names the module classes.

#include <array>
#include <string_view>

#include "model/RuntimeClass.h"

class CModuleBase;
class CModuleDescriptor;

struct tModuleType {
    const char* typeKey;
    const CRuntimeClass* runtimeClass; // null while the class is not part of the program yet
};

inline constexpr int kModuleTypeCount = 58;

// Every type key in lookup order: the peripheral and framework keys, then "VOID" and "PLUGINS".
const std::array<tModuleType, kModuleTypeCount>& ModuleTypes();

// The class of the type key (exact, case-sensitive), or null for an unknown key and for a key
// whose class does not exist yet.
const CRuntimeClass* FindModuleClass(std::string_view typeKey);

// A new module of the type key's class, owned by the caller, or null when there is no such
// class. The module belongs to the document being opened (hwc::HostBeingOpened()).
CModuleBase* CreateModuleOfType(std::string_view typeKey, CModuleBase* parent,
                                const CModuleDescriptor* descriptor);
