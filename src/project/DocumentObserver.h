#pragma once
// How views follow the document: numbered update hints, each with an optional subject.

class CModuleBase;

namespace hwc {

enum EUpdateHint {
    kHintIdle = 1,           // after every idle pass: refresh what depends on module values
    kHintWarningChanged = 24, // a warning was raised, updated or cleared (subject: the warning)
    kHintProjectCleared = 30, // the project is being cleared: forget every module
};

class IDocumentObserver {
public:
    virtual ~IDocumentObserver() = default;
    // `sender` is the module that caused the update (or null); `object` what the hint is about:
    // the binding, module or sub-page, or the CWarning of hint 24 (null when it was cleared).
    virtual void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) = 0;
};

} // namespace hwc
