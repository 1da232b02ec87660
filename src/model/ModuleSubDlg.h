#pragma once
// A sub-page: a child dialog embedded in a module page in place of a placeholder, for repeated
// groups such as interrupt rows or GPIO pins. Its controls are addressed from the page as
// sub-page number x 0x10000 + control number.

#include <string>

#include "model/Page.h"

class IModuleHost;

class CModuleSubDlg : public CPage {
public:
    explicit CModuleSubDlg(const CDialogTemplate& dialogTemplate, CPage* parent = nullptr);

    // The number of the placeholder that holds it; 0 while it is not placed.
    int SubPageId() const;
    // The document of the owning module, or the document being opened when there is none.
    IModuleHost* Document() const;

    void ShowFrequency(int controlId, double hz, bool autoUnit, const char* zeroText,
                       const char* format = nullptr, std::string* out = nullptr);
    void ShowTime(int controlId, double seconds, bool autoUnit, const char* zeroText,
                  const char* format = nullptr, std::string* out = nullptr);
    // As the module's SetWarning; the document hears the control as SubPageId() x 0x10000 + id.
    void SetWarning(int controlId, bool active, const char* message, const char* detail = nullptr);

    // Every binding of the sub-page reads its item, then the views hear hint 22.
    void RefreshBindings();
    // Every binding writes its item, then the views hear hint 23.
    void ApplyBindings();
    void SelfTestBindings();
};
