#pragma once
// The 12-bit digital-to-analog converter: power-down, data format, update trigger (bus clock or
// the SYNC_IN input), automatic waveform mode with its step, minimum and maximum, glitch filter
// and, on the newer processor groups, speed, output and DMA, and on FamD a compare value. Data
// values are entered as 12-bit numbers and stored left- or right-justified. It shows the glitch
// filter's width and warns when the SYNC_IN input it relies on is not fed by the crossbar and
// about contradictory trigger settings.

#include <cstdint>
#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"

class CpmDAC : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmDAC, CModule)
public:
    // Page layouts: the older one and the one of FamE, FamF and FamD.
    static constexpr unsigned kTemplateId = 2048;
    static constexpr unsigned kNewerTemplateId = 2091;

    // Page controls.
    static constexpr int kPowerDownId = 1871;
    static constexpr int kRightJustifiedId = 1872;
    static constexpr int kLeftJustifiedId = 1873;
    static constexpr int kSyncDisabledId = 1874;
    static constexpr int kSyncEnabledId = 1875;
    static constexpr int kSyncIndicatorId = 1876;
    static constexpr int kAutoModeId = 1877;
    static constexpr int kWaveformId = 1878;
    static constexpr int kAutoWarningId = 1879;
    static constexpr int kReloadId = 1880;
    static constexpr int kReloadWarningId = 1881;
    static constexpr int kDataId = 1882;
    static constexpr int kStepId = 1883;
    static constexpr int kMinimumId = 1884;
    static constexpr int kMaximumId = 1885;
    static constexpr int kCompareId = 1886;
    static constexpr int kCompareLabelId = 1887;
    static constexpr int kGlitchFilterId = 1888;
    static constexpr int kFilterCountId = 1889;
    static constexpr int kFilterCountSpinId = 1890;
    static constexpr int kFilterWidthId = 1891;
    static constexpr int kSpeedId = 1892;
    static constexpr int kOutputEnableId = 1893;
    static constexpr int kDmaId = 1894;
    static constexpr int kDmaWarningId = 1896;
    static constexpr int kCompareOutputId = 1897;
    static constexpr int kCompareModeId = 1898;
    static constexpr int kCompareModeLabelId = 1899;
    static constexpr int kReloadLabelId = 1900;

    // Register items in table order; CTRL1 exists on the newer groups, COMPARE on FamD only.
    static constexpr int kCtrlItem = 0;
    static constexpr int kDataItem = 1;
    static constexpr int kStepItem = 2;
    static constexpr int kMinimumItem = 3;
    static constexpr int kMaximumItem = 4;
    static constexpr int kCtrl1Item = 5;
    static constexpr int kCompareItem = 6;

    // Warning texts.
    static constexpr const char* kDmaWarning =
        "SYNC input should always be enabled when DMA is enabled";
    static constexpr const char* kAutoWarning =
        "Automatic mode should never be enabled when SYNC input is disabled";
    static constexpr const char* kReloadWarning =
        "Maximum, Minimum and Step values won't be initialized when \"No Reload\" is chosen";

    // A data value as stored (12 bits, shifted to bits 15:4 when left-justified) and as shown.
    static std::uint32_t StoredData(std::uint32_t value, bool leftJustified);
    static std::uint32_t ShownData(std::uint32_t stored, bool leftJustified);
    // The compare value as stored (one less than entered, 0 for 0) and as shown (one more).
    static std::uint32_t StoredCompare(std::uint32_t value);
    static std::uint32_t ShownCompare(std::uint32_t stored);

    CpmDAC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    // Controls that depend on other settings follow each change at once.
    void OnPageCommand(CPageControl& control, EControlEvent event) override;
    // Not kept powered down: a comparator input that takes the DAC output needs it.
    bool IsModuleEnabled() const override;

    // The instance index the crossbar output depends on: "A" 0 and "B" 1 on FamF and FamD,
    // the trailing digit elsewhere.
    int DacIndex() const;
    // The glitch filter's width in seconds; 0 while it is off or there is no bus clock.
    double FilterWidth() const;
    bool IsLeftJustified() const;

    CSetBit& PowerDown() { return m_powerDown; }
    CSetBit& LeftJustified() { return m_leftJustified; }
    CSetBit& SyncEnabled() { return m_syncEnabled; }
    CSetBit& AutoMode() { return m_autoMode; }
    CSetBit& GlitchFilter() { return m_glitchFilter; }
    CSetBit& Dma() { return m_dma; }
    CSetMode& Reload() { return m_reload; }
    CSetValue& Data() { return m_data; }
    CSetValue& Step() { return m_step; }
    CSetValue& Minimum() { return m_minimum; }
    CSetValue& Maximum() { return m_maximum; }
    CSetValue& Compare() { return m_compare; }
    CSetValue& FilterCount() { return m_filterCount; }

protected:
    void AttachControls(CPage& page) override;

private:
    bool IsNewer() const;
    bool IsFamD() const;
    // The crossbar that feeds SYNC_IN and its output, or an empty name where none does.
    std::string SyncCrossbar() const;
    int SyncOutput() const;
    void CheckSync(bool powerDown, bool sync);

    static void SetDataValue(std::uint32_t value, void* context, int item);
    static std::uint32_t GetDataValue(void* context, int item);
    static void SetCompareValue(std::uint32_t value, void* context, int item);
    static std::uint32_t GetCompareValue(void* context, int item);

    CSetBit m_powerDown;
    CSetBit m_rightJustified;
    CSetBit m_leftJustified;
    CSetBit m_syncDisabled;
    CSetBit m_syncEnabled;
    CSetBit m_autoMode;
    CSetMode m_waveform;
    CSetMode m_reload;
    CSetValue m_data;
    CSetValue m_step;
    CSetValue m_minimum;
    CSetValue m_maximum;
    CSetValue m_compare;
    CSetBit m_glitchFilter;
    CSetValue m_filterCount;
    CSetMode m_speed;
    CSetBit m_outputEnable;
    CSetBit m_dma;
    CSetBit m_compareOutput;
    CSetMode m_compareMode;
};
