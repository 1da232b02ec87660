#pragma once
// The pin descriptions of a GPIO port as the architecture file lists them, one line per pin:
// "3, SCI_0.TXD, GPS2:QT_A0.TA0". Each pin has up to eight peripheral functions; a function is
// chosen by the port's peripheral-enable bit together with up to three peripheral-select bits
// and one clock-output select bit of the system module, which the condition word of each
// function states.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hwc {

// Condition-word bits: a select slot (A, B, C) or the clock-output bit required set or clear.
namespace GpioCond {
inline constexpr std::uint32_t kSetA = 0x1;
inline constexpr std::uint32_t kClearA = 0x2;
inline constexpr std::uint32_t kSetClockOut = 0x4;
inline constexpr std::uint32_t kClearClockOut = 0x8;
inline constexpr std::uint32_t kSetB = 0x10;
inline constexpr std::uint32_t kClearB = 0x20;
inline constexpr std::uint32_t kSetC = 0x40;
inline constexpr std::uint32_t kClearC = 0x80;
} // namespace GpioCond

inline constexpr int kGpioPinCount = 16;
inline constexpr std::size_t kGpioMaxFunctions = 8;
inline constexpr std::size_t kGpioMaxOwners = 4;
inline constexpr std::size_t kGpioMaxSelectSlots = 3;
inline constexpr std::size_t kGpioMaxNameLength = 32;
inline constexpr const char* kGpioVoidFunction = "Peripheral (void)";

// One peripheral function a pin can carry.
struct tGpioFunction {
    std::string name;                // the signal name ("TXD"), at most 32 characters
    std::vector<std::string> owners; // instance names of the modules that use it (up to four)
    std::uint32_t condition = 0;     // GpioCond bits
};

// One described pin.
struct tGpioPin {
    int pin = 0;
    bool checkAll = false;
    std::vector<tGpioFunction> functions; // in the order of the line
    // The peripheral-select bit numbers of slots A, B and C; -1 for an unused slot.
    std::array<int, kGpioMaxSelectSlots> selectBits = {-1, -1, -1};
    int clockOutputBit = -1; // the clock-output select bit, or -1

    // The condition bits that a slot requires set and clear.
    static std::uint32_t SetBitOfSlot(std::size_t slot);
    static std::uint32_t ClearBitOfSlot(std::size_t slot);
};

// The pins of a port: index = pin number; a pin without a line has no value.
using tGpioPinTable = std::array<std::optional<tGpioPin>, kGpioPinCount>;

// Reads the pin lines of a module-info text. Lines that are no pin line (key=value lines,
// lines without a number, numbers outside 0..15, a second line for a pin) are ignored, and so
// are function entries without an owner and name, entries after the eighth, owners after the
// fourth and a function that would need a fourth select bit or a second clock-output bit.
tGpioPinTable ParseGpioPins(std::string_view moduleInfoText);

// Reads one pin line; no value when it is not a pin line.
std::optional<tGpioPin> ParseGpioPinLine(std::string_view line);

} // namespace hwc
