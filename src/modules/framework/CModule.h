#pragma once
// The base of every peripheral module: interrupt rows on the module page (one per interrupt
// vector of the instance), the pin status line that tells whether the module's signals reach
// device pins through the GPIO modules (with its one-click repair), and the checks that involve
// other modules (interrupt controller, system module, import between processor generations).

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/ModuleBase.h"
#include "model/ModuleLink.h"

class CModule : public CModuleBase {
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CModule, CModuleBase)
public:
    // Page controls and dialog templates the interrupt rows and the pin status use.
    static constexpr int kPinStatusId = 1466;
    static constexpr int kFirstRowPlaceholderId = 500;
    static constexpr int kFirstHeadingPlaceholderId = 510;
    static constexpr int kLastHeadingPlaceholderId = 519;
    static constexpr unsigned kWideRowTemplate = 145;
    static constexpr unsigned kNarrowRowTemplate = 2030;
    static constexpr unsigned kNarrowHeadingTemplate = 2031;
    static constexpr unsigned kWideHeadingTemplate = 2032;
    // Controls of an interrupt row.
    static constexpr int kRowSourceId = 1001;
    static constexpr int kRowIsrNameId = 1002;
    static constexpr int kRowPriorityId = 1003;
    // A pin's function control in a GPIO pin sub-page: (kPinSubPageBase + pin) << 16 | this.
    static constexpr int kPinSubPageBase = 0xE900;
    static constexpr int kPinFunctionControlId = 1001;
    // The query of the pin status repair link.
    static constexpr const char* kFixPinsQuery = "FIXPINS";

    // Processor-table entries of the processor groups the module framework tests.
    enum EProcessorGroup : int {
        kFamG = 94,
        kFamH = 95,
        kFamA = 103,
        kFamE = 109,
        kFamF = 113,
        kFamD = 116,
    };

    // What a document that knows its processor answers; a document without it belongs to no group.
    class IProcessorGroups {
    public:
        virtual ~IProcessorGroups() = default;
        virtual bool IsProcessorGroup(int entry) const = 0;
    };

    // One interrupt vector of the instance and the row that shows it.
    struct CInterruptRow {
        int vector = 0;
        CPage* page = nullptr;         // the row's sub-page once placed, owned by the page
        CModule* controller = nullptr; // the interrupt controller it is attached to
    };

    // A GPIO pin that can carry a module signal.
    struct tPinRef {
        CModule* gpio = nullptr;
        int pin = 0;
        auto operator<=>(const tPinRef&) const = default;
    };

    // The pins of one module signal.
    struct CPinFuncContextInfo {
        std::vector<tPinRef> candidatePins;   // pins whose alternatives include the signal
        std::vector<tPinRef> currentPins;     // pins that have the signal selected now
        std::map<tPinRef, int> functionIndex; // pin -> index of the signal among its functions
    };

    // Signal name -> its pins, in the order the GPIO modules list them.
    class CPinFuncContextMap {
    public:
        CPinFuncContextInfo& Obtain(const std::string& signal);
        void Remove(const std::string& signal);
        const std::vector<std::pair<std::string, std::unique_ptr<CPinFuncContextInfo>>>&
        Entries() const {
            return m_entries;
        }
        int Total() const { return static_cast<int>(m_entries.size()); }
        int Missing() const;
        int Duplicated() const;

        // Adds one fact a GPIO module reports: the pin can carry the signal at that function
        // index, and carries it now when `current` is set.
        void AddPin(const std::string& signal, tPinRef pin, int functionIndex, bool current);

    private:
        std::vector<std::pair<std::string, std::unique_ptr<CPinFuncContextInfo>>> m_entries;
    };

    enum class EPinListKind { All = 0, Missing = 1, Duplicated = 2 };

    CModule(CModuleBase* parent, unsigned templateId, const CModuleDescriptor* descriptor,
            const tPerCfgDef* table, int count);

    // The last character of the instance name when it is a digit, else 0.
    int InstanceNumber() const { return m_instanceNumber; }
    const std::vector<CInterruptRow>& InterruptRows() const { return m_interruptRows; }
    bool HasPinStatus() const { return m_pinStatusPresent; }

    // --- Operations added for peripheral modules, in slot order ---

    // False for signals the module's current settings do not use.
    virtual bool IsPinFunctionUsed(const std::string& signal) const { return true; }
    virtual void UpdatePinStatus();
    // Lets the system module, on the processor groups that have one, check this module.
    virtual void CheckSystem();
    // Answers a module link's query; "FIXPINS" routes missing signals to their first pin.
    // True when the query was handled.
    bool OnLinkCommand(CModuleBase* sender, const tModuleLink& link,
                       std::string_view query) override;

    // --- What other module kinds answer; the defaults are what an absent module means ---

    // A GPIO module adds the pins that can carry signals of `peripheral`.
    virtual void AddPinFunctions(const CModule& peripheral, CPinFuncContextMap& map) {}
    // A GPIO module selects the function index on its pin and writes its registers.
    virtual bool SelectPinFunction(int pin, int functionIndex) { return false; }
    // The interrupt controller takes a row of a peripheral.
    virtual void AttachInterruptRow(CInterruptRow& row) {}
    // The interrupt controller attaches the bindings of a row once its sub-page is placed.
    virtual void AttachInterruptRowPage(CInterruptRow& row) {}
    // The system module checks another module and raises its own warnings.
    virtual void CheckModule(CModule& module) {}
    // The clock module publishes the bus clock and one other clock (MHz).
    virtual float PublishedBusClock() const { return 0.0f; }
    virtual float PublishedOtherClock() const { return 0.0f; }
    // The system (core) clock it publishes (MHz), shown in the information panel.
    virtual float PublishedCoreClock() const { return 0.0f; }

    // --- Overrides ---

    void BindControls(IModuleHost* host) override;
    bool IsImportCompatible(const CModuleBase& other, bool& forbidden) const override;
    void CheckWarnings() override;

    // --- Cross-module queries ---

    // The interrupt controller of the document, or null while it has none.
    CModule* FindInterruptController() const;
    // The bus clock of the clock module in MHz, or 0 without one; and its other clock.
    float GetBusClock() const;
    float GetOtherClock() const;
    // Whether the processor of the module's document belongs to the group; false when the
    // document does not say.
    static bool IsProcessorGroup(const CModuleBase& module, int entry);

    // Sets or clears a warning shown in a page control: the shown text (when given) becomes the
    // control's text, the control shows while it warns or has text, dark red while it warns;
    // the document's list takes the warning text (the shown text when it is empty).
    using CModuleBase::SetWarning;
    static void SetWarning(CModuleBase& module, int controlId, bool isWarning,
                           const std::string& shownText, const std::string& warningText);

    // The GPIO port modules of the asker's document ("GPIO_A" or "GPIOA" up to "G"), each once,
    // in port order.
    static std::vector<CModule*> GpioModules(const CModuleBase& asker);
    void BuildPinMap(CPinFuncContextMap& map, bool filter) const;
    std::string PinList(const CPinFuncContextMap& map, EPinListKind kind) const;

    // The templates of an interrupt row: wide (source, ISR name, priority) or narrow.
    static const CDialogTemplate& InterruptRowTemplate(bool wide);

protected:
    // The page's data exchange: notes the pin status line and places the interrupt rows.
    void AttachControls(CPage& page) override;
    // Whether the rows and headings use their wide form (with the interrupt source column).
    virtual bool WideInterruptRows() const { return true; }
    // Draws an interrupt row in a sub-page at the page's placeholder, for the controller to bind.
    static void PlaceInterruptRow(CPage& page, int placeholderId, CInterruptRow& row,
                                  bool wide = true);

private:
    void PlaceInterruptRows(CPage& page);
    void FixPins();

    std::vector<CInterruptRow> m_interruptRows;
    bool m_pinStatusPresent = false;
    int m_instanceNumber = 0;
};

namespace hwc {

// The vector numbers of an interrupt list "name:v1,v2,...:rest": every part between the first
// and second ':' that reads as a "%i" number, in order.
std::vector<int> ParseInterruptVectors(std::string_view interruptList);

// "No", "One" ... "Ten", then the digits.
std::string CountWord(int count);

} // namespace hwc
