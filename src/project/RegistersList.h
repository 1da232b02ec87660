#pragma once
// The rows of the registers view for one module: its own registers, then those it borrows from
// other modules, with the user defines in a second group; a module without rows shows its
// parent's.

#include <string>
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
