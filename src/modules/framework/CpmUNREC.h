#pragma once
// The user-definitions module: keeps every definition of the header that no other module took,
// and writes them back as the "User definitions" block, in the order the file had them.

#include <cstddef>
#include <string>
#include <vector>

#include "model/ModuleBase.h"

// One definition of the header that belongs to no module. The texts are kept whole: they are
// the user's own and are written back as they were read.
struct tUnrecRecord {
    std::string name;
    std::string value;
    std::string comment;
};

// The internal parameters of a module that the project no longer has (or that this version of
// the program does not know): kept and written back as they were.
struct tUnrecParameters {
    std::string module;
    std::string lines; // "NAME=value\n" per parameter, in file order
};

class CpmUNREC : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmUNREC, CModuleBase)
public:
    static constexpr unsigned kTemplateId = 27301;
    static constexpr const char* kTypeKey = "UNREC";
    // Without a descriptor the module is named "UNREC" (instance and type).
    CpmUNREC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    // The list box of the page that shows the definitions.
    static constexpr int kListId = 1000;

    bool HasOutput() const override { return true; }
    // A caption and the list of the kept definitions.
    const CDialogTemplate* DialogTemplate() const override;
    // Takes every definition and internal parameter of the remembered header (this one when none
    // is remembered yet) that is not claimed yet, in file order, and claims it. Selected when it
    // found any.
    bool LoadFromHeader(CAppcfgFile* header) override;
    // Replaces the section with the user-definitions block followed by the kept parameter
    // blocks, or empties it when there is nothing to keep or the module is not selected.
    bool WriteHeaderText(std::string& text) override;

    const std::vector<tUnrecRecord>& Records() const { return m_records; }
    const std::vector<tUnrecParameters>& Parameters() const { return m_parameters; }
    // One "#define NAME VALUE" line per record, for the page's list.
    std::vector<std::string> ListBoxLines() const;

protected:
    void AttachControls(CPage& page) override;

private:
    // Asks before an unselected module drops what it keeps; false when the save is cancelled.
    bool ConfirmDroppingDefinitions();

    std::vector<tUnrecRecord> m_records;
    std::vector<tUnrecParameters> m_parameters;
};
