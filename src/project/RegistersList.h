#pragma once
// The rows of the registers view for one module: its own registers, then those it borrows from
// other modules, with the user defines in a second group; a module without rows shows its
// parent's.

#include <string>
#include <string_view>
#include <vector>

class CModuleBase;
class CProjDocBase;
struct tPerCfgItem;

struct tRegisterRow {
    tPerCfgItem* item = nullptr;
    CModuleBase* owner = nullptr; // the module that holds the item
    bool borrowed = false;        // the item belongs to another module than the one listed
    bool userDefine = false;      // listed in the "User defines" group
};

// The rows in display order: hardware registers first, user defines after them.
std::vector<tRegisterRow> ListRegisters(CModuleBase& module, const CProjDocBase& document);

// The label of a row: the name without "_INIT" and '-', the owner's prefix for a borrowed
// register, the note, then ":".
std::string RegisterRowLabel(const tRegisterRow& row);

// The value text of a row: the register's own format without the "U" suffix, or unsigned
// decimal for hexadecimal registers when `decimal` is set.
std::string RegisterRowValueText(const tPerCfgItem& item, bool decimal);
// Whether the value differs from the one last loaded or saved.
bool RegisterRowChanged(const tPerCfgItem& item);
// Stores a value typed into a row: read as the header reader reads values, then written as the
// automation interface writes registers (user defines, which it does not reach by name, are
// written directly), and the owner's update cycle runs. False with `message` set when the text
// is no value for the register.
bool StoreRegisterRow(CProjDocBase& document, const tRegisterRow& row, std::string_view typed,
                      std::string& message);

// What the user is told before "NAME=VALUE" is written by name (the headless set command): a
// number wider than its register is written cut to the register's width, as a plug-in's write
// is, and the note says so. Empty for everything else (texts and signed registers keep their own
// rules; a name that is no register or a value that is no number is reported by the writer).
std::string RegisterAssignmentNote(CProjDocBase& document, std::string_view assignment);
