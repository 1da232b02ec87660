#pragma once
// The CRC generator: its polynomial and, on FamE and FamD, the protocol width, the complement of
// the read-back checksum and the bit and byte transposition of reads and writes. The older
// processors hold the polynomial in two 16-bit registers and have nothing else to set.

#include <cstdint>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmCRC : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmCRC, CModule)
public:
    // The 32-bit generator of FamE and FamD, and the 16-bit one of the others.
    static constexpr unsigned kTemplateId = 2100;
    static constexpr unsigned kOlderTemplateId = 2107;

    // Page controls.
    static constexpr int kWidthId = 2042;
    static constexpr int kComplementId = 2309;
    static constexpr int kTransposeReadId = 2023;
    static constexpr int kTransposeWriteId = 2024;
    static constexpr int kHighId = 2311;
    static constexpr int kHighSpinId = 2313;
    static constexpr int kLowId = 2312;
    static constexpr int kLowSpinId = 1512;

    // Register items in table order: GPOLY and CTRL, or CRCH and CRCL.
    static constexpr int kPolynomialItem = 0;
    static constexpr int kControlItem = 1;
    static constexpr int kHighItem = 0;
    static constexpr int kLowItem = 1;

    static constexpr std::uint32_t kHalfWordMax = 65535;

    CpmCRC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;

    // Whether the processor has the 32-bit generator with its control register.
    bool HasControl() const { return TemplateId() == kTemplateId; }

    CSetMode& Width() { return m_width; }
    CSetBit& Complement() { return m_complement; }
    CSetMode& TransposeRead() { return m_transposeRead; }
    CSetMode& TransposeWrite() { return m_transposeWrite; }
    CSetValue& High() { return m_high; }
    CSetValue& Low() { return m_low; }

protected:
    void AttachControls(CPage& page) override;

private:
    CSetMode m_width;
    CSetBit m_complement;
    CSetMode m_transposeRead;
    CSetMode m_transposeWrite;
    CSetValue m_high;
    CSetValue m_low;
};
