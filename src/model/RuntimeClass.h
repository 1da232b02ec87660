#pragma once
// Run-time class records of the module classes: the class name, the base class record and, for
// classes that can be created by name, a factory. A type test walks the base records.

#include <string_view>

class CModuleBase;
class CModuleDescriptor;

struct CRuntimeClass {
    using Factory = CModuleBase* (*)(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const char* name;
    const CRuntimeClass* base; // null for the root class
    Factory create;            // null when the class cannot be created by name

    // True when this is `other` or a class derived from it.
    bool IsDerivedFrom(const CRuntimeClass& other) const {
        for (const CRuntimeClass* record = this; record; record = record->base) {
            if (record == &other)
                return true;
        }
        return false;
    }

    // A new object of this class, or null when the class has no factory.
    CModuleBase* CreateObject(CModuleBase* parent, const CModuleDescriptor* descriptor) const {
        return create ? create(parent, descriptor) : nullptr;
    }
};

namespace hwc {

template <class T> CModuleBase* CreateModuleOf(CModuleBase* parent, const CModuleDescriptor* d) {
    return new T(parent, d);
}

// The first record of the list whose class name equals `name` exactly, or null.
template <class Range>
const CRuntimeClass* FindRuntimeClass(const Range& records, std::string_view name) {
    for (const CRuntimeClass* record : records) {
        if (record && name == record->name)
            return record;
    }
    return nullptr;
}

} // namespace hwc

// Inside a module class: its run-time class record, derived from BaseClass. The class is created
// by name with its (parent, descriptor) constructor.
#define HWC_DECLARE_MODULE_CLASS(ThisClass, BaseClass)                                             \
public:                                                                                            \
    static constexpr CRuntimeClass kRuntimeClass{#ThisClass, &BaseClass::kRuntimeClass,            \
                                                 &hwc::CreateModuleOf<ThisClass>};                 \
    const CRuntimeClass* GetRuntimeClass() const override {                                        \
        return &kRuntimeClass;                                                                     \
    }

// The same for a class that is never created by name (abstract or with another constructor).
#define HWC_DECLARE_ABSTRACT_MODULE_CLASS(ThisClass, BaseClass)                                    \
public:                                                                                            \
    static constexpr CRuntimeClass kRuntimeClass{#ThisClass, &BaseClass::kRuntimeClass, nullptr};  \
    const CRuntimeClass* GetRuntimeClass() const override {                                        \
        return &kRuntimeClass;                                                                     \
    }
