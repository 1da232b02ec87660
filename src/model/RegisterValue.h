#pragma once
// Register values as text: the form written to the header and shown to the user, and the
// checked reading of text the user typed.

#include <string>
#include <string_view>

#include "model/RegisterItem.h"

// The value text of an item: the string of a STRVALUE item, signed decimal for DECVALUE,
// otherwise hex by width ("0x%04X" for 16 bits, "0x%08X" for 32, else "0x%02X"), with a
// trailing "U" when withSuffix is set.
std::string FormatRegisterValue(const tPerCfgItem& item, bool withSuffix = true);

// The value a header writes for an item: its string (quoted when the item asks for quotes) or
// its number with the suffix.
std::string WrittenValueText(const tPerCfgItem& item);

// Takes text typed for an item. A numeric item wants exactly one number within its width, a
// FLOAT item exactly one floating-point number. On refusal the item is unchanged and `message`
// says why.
bool ParseRegisterValue(std::string_view text, tPerCfgItem& item, std::string& message);

// Yes/no words of description files and settings: "0", "N..." or "false"; "1", "Y..." or "true".
bool IsFalseWord(std::string_view text);
bool IsTrueWord(std::string_view text);
