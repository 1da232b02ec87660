#pragma once
// One general-purpose I/O port of up to 16 pins: for each pin whether it is a GPIO or which
// peripheral function it carries, its direction, pull-up, initial output value and interrupt,
// and on the newer processors its output mode, drive strength, input filter, slew rate and pull
// type. Where the pin multiplexing lives in the system module, choosing a function also writes
// the system module's peripheral-select and clock-output select bits. Every other module learns
// from here which pins can carry its signals and has them routed (the pin status line).

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "modules/framework/CModule.h"
#include "modules/ports/GpioPinDescription.h"
#include "modules/ports/PortQueries.h"

class CpmGPIO;
class CModuleSubDlg;

// The function list of a pin: "GPIO" and the pin's peripheral functions. Nothing selected
// (no function's condition holds) is a valid state that leaves the registers alone.
class CSetPinFunction : public CSetMode {
public:
    bool ValidateControl(bool show) override { return true; }
};

// The bindings of one pin row: the controls every port has. The variants add their rows of
// newer pin settings; the port keeps one object per described pin, while the sub-page that
// shows it belongs to the port's page.
class CpmGPIO_PinDlg {
public:
    // Controls of a pin sub-page.
    static constexpr int kFunctionId = 1001;
    static constexpr int kDirectionId = 1002;
    static constexpr int kPullUpId = 1003;
    static constexpr int kInitValueId = 1004;
    static constexpr int kInterruptId = 1005;
    static constexpr int kPolarityId = 1006;
    static constexpr int kOutputModeId = 1007;
    static constexpr int kDriveModeId = 1008;
    static constexpr int kInputFilterId = 1009;
    static constexpr int kSlewRateId = 1010;
    static constexpr int kPullTypeId = 1011;
    static constexpr int kInterruptWarningId = 1012;
    static constexpr int kSameFunctionWarningId = 1013;

    // The newer settings a variant may show: control, caption, register item, entries.
    struct tExtra {
        int id;
        const char* caption;
        int item;
        const char* off;
        const char* on;
    };

    CpmGPIO_PinDlg(CpmGPIO& port, const hwc::tGpioPin& pin);
    virtual ~CpmGPIO_PinDlg() = default;
    CpmGPIO_PinDlg(const CpmGPIO_PinDlg&) = delete;
    CpmGPIO_PinDlg& operator=(const CpmGPIO_PinDlg&) = delete;

    int Pin() const { return m_pin.pin; }
    const hwc::tGpioPin& Description() const { return m_pin; }
    // The variant's newer settings, in the row's order.
    virtual std::vector<tExtra> Extras() const { return {}; }
    // The sub-page template of this pin (its number in the function caption).
    const CDialogTemplate& Template() const;

    // Binds every setting to the port's registers.
    void Bind();
    // Joins the settings to the controls of the pin's sub-page.
    void Attach(CModuleSubDlg& page);
    // Shows the registers again and enables what a GPIO pin or a peripheral pin offers.
    void UpdateState();
    // The summary entries of the pin, as its current state calls for.
    void AddCommentItems(std::vector<COMMENTITEM>& items);

    CSetPinFunction& Function() { return m_function; }
    CSetMode& Direction() { return m_direction; }
    CSetMode& PullUp() { return m_pullUp; }
    CSetMode& InitValue() { return m_initValue; }
    CSetBit& Interrupt() { return m_interrupt; }
    CSetMode& Polarity() { return m_polarity; }
    // The binding of a newer setting, or null when the variant has none.
    CSetMode* Extra(int controlId);

protected:
    CpmGPIO& m_port;

private:
    static void WriteFunction(int value, void* context, int pin);
    static int ReadFunction(void* context, int pin);

    hwc::tGpioPin m_pin;
    CSetPinFunction m_function;
    CSetMode m_direction;
    CSetMode m_pullUp;
    CSetMode m_initValue;
    CSetBit m_interrupt;
    CSetMode m_polarity;
    std::vector<std::pair<int, std::unique_ptr<CSetMode>>> m_extras;
};

// The first processor family: the common settings only.
class CpmGPIO_PinDlgV1 : public CpmGPIO_PinDlg {
public:
    using CpmGPIO_PinDlg::CpmGPIO_PinDlg;
};

// The second family: push-pull output, and drive strength where the port has it.
class CpmGPIO_PinDlgV2 : public CpmGPIO_PinDlg {
public:
    using CpmGPIO_PinDlg::CpmGPIO_PinDlg;
    std::vector<tExtra> Extras() const override;
};

// FamA: push-pull output, drive strength, input filter and slew rate.
class CpmGPIO_PinDlgFamA : public CpmGPIO_PinDlg {
public:
    using CpmGPIO_PinDlg::CpmGPIO_PinDlg;
    std::vector<tExtra> Extras() const override;
};

// FamE, FamF and FamD: push-pull output, drive strength, slew rate and pull type.
class CpmGPIO_PinDlgFamE : public CpmGPIO_PinDlg {
public:
    using CpmGPIO_PinDlg::CpmGPIO_PinDlg;
    std::vector<tExtra> Extras() const override;
};

class CpmGPIO : public CModule, public hwc::IGpioPort {
    HWC_DECLARE_MODULE_CLASS(CpmGPIO, CModule)
public:
    static constexpr unsigned kTemplateId = 144;

    // Page controls.
    static constexpr int kInterruptCountWarningId = 1535;
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kHeadingPlaceholderId = 510;

    // Register items in table order.
    enum EItem : int {
        kPur = 0,
        kDdr,
        kPer,
        kIenr,
        kIpolr,
        kDr,
        kPpmode,
        kDrive,
        kIfe,
        kSlew,
        kPus,
    };

    // The pin row variant of the processor.
    enum class EVariant { V1, V2, FamA, FamE };

    CpmGPIO(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmGPIO() override;

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    bool WriteHeaderText(std::string& text) override;
    void GetSummary(std::string& text) const override;

    // Pin contexts of the other modules.
    void AddPinFunctions(const CModule& peripheral, CPinFuncContextMap& map) override;
    bool SelectPinFunction(int pin, int functionIndex) override;
    // The port's own pin signals ("GPIO_A3") count while the pin's interrupt or output is set.
    bool IsPinFunctionUsed(const std::string& signal) const override;

    // What the pin-out view asks.
    std::vector<hwc::tPinName> PinNames() const override;
    bool DescriptionMentions(std::string_view text) const override;
    const tPerCfgItem* PeripheralEnableRegister() const override;

    EVariant Variant() const { return m_variant; }
    const hwc::tGpioPinTable& Pins() const { return m_pins; }
    // The bindings of a described pin, or null.
    CpmGPIO_PinDlg* PinDialog(int pin) const;
    bool HasItem(int item) const { return item < ItemCount(); }
    bool PinBit(int item, int pin) const;

    // The selected entry of the pin's function list: 0 for GPIO, k for the k-th function, -1
    // when no function's condition holds (or the pin is not described).
    int CurrentFunction(int pin) const;
    // Whether function k (1..) of the pin can be chosen with the system module there is.
    bool CanSelectFunction(int pin, int function) const;
    // Writes the selection: 0 clears the pin's enable bit, k sets it and writes the select bits
    // function k requires. False (nothing written) for a function that cannot be chosen.
    bool WriteFunction(int pin, int function);
    // "GPIO_A3": the port's name of a pin.
    std::string PinText(int pin) const;
    // The document's control number of a control in a pin's sub-page.
    static int PinControlId(int pin, int controlId);

protected:
    void AttachControls(CPage& page) override;

private:
    void ReadModuleInfo();
    void RebuildCommentItems();
    void CheckSameFunction(int pin);
    // Raises or clears a warning shown in a pin's sub-page.
    void SetPinWarning(int pin, int controlId, bool active, const std::string& shown,
                       const std::string& text);

    EVariant m_variant = EVariant::V2;
    hwc::tGpioPinTable m_pins;
    bool m_pinsRead = false;
    std::array<std::unique_ptr<CpmGPIO_PinDlg>, hwc::kGpioPinCount> m_pinDialogs;
};
