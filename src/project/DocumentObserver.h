#pragma once
// How views follow the document: numbered update hints, each with an optional subject.

class CModuleBase;
struct CWarning;

namespace hwc {

enum EUpdateHint {
    kHintIdle = 1,           // after every idle pass: refresh what depends on module values
    kHintWarningChanged = 24, // a warning was raised, updated or cleared (subject: the warning)
    kHintProjectCleared = 30, // the project is being cleared: forget every module
};

class IDocumentObserver {
public:
    virtual ~IDocumentObserver() = default;
    // `module` is the module concerned (or null); `warning` the warning of hint 24 (or null).
    virtual void OnDocumentUpdate(int hint, CModuleBase* module, const CWarning* warning) = 0;
};

} // namespace hwc
