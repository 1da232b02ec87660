#pragma once
// The arithmetic of an up-down control: the page rewrites the text of the control before it
// (its buddy) when an arrow is pressed.

#include <cstdint>
#include <string>
#include <string_view>

// The buddy text after one step of `delta` within the up-down range low..high. Values are
// unsigned 32-bit, so a range of 0..-1 covers every register value. A reversed range
// (high < low) turns the direction round. The text is read as C reads "%i" (low when
// unreadable); the new value is rounded down to a multiple of |delta| and limited to the
// range. Text beginning with "0x" stays hex with at least as many digits as before.
std::string UpDownBuddyText(std::string_view buddyText, int delta, std::int32_t low,
                            std::int32_t high);
