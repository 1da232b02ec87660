#pragma once
// Starting a module over: its registers go back to the values they have after a processor
// reset, and the module's pages, derived values and warnings follow.

#include <string>

class CModuleBase;
class CProjDocBase;

// Whether the module has a register that a reset would change the value of.
bool CanResetModule(const CModuleBase& module);

// Sets every value register the module owns (internal parameters included) to its default;
// texts, user defines and placeholders keep theirs. When a value changed, the views hear it,
// the page is refreshed, the module recalculates and a warnings pass is requested. Returns the
// number of registers whose value changed.
int ResetModuleToDefaults(CProjDocBase& document, CModuleBase& module);

// The question asked before a reset.
std::string ResetModuleQuestion(const CModuleBase& module);
