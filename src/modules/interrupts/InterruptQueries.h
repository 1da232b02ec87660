#pragma once
// What the interrupt controller ("INTC", "ITCN" on FamG, "WINTC" on FamA) answers to the other
// modules: who owns a vector, the user vectors of FamA, the debug-port interrupt enables. The
// free functions find the controller of the asker's document and give the "absent" answer
// while there is none (no user vector, a claim that cannot be made, interrupts not enabled).

#include <optional>
#include <string>

class CModuleBase;

namespace hwc {

// A user vector of the FamA controller: its number (1 to 6) and its routine name.
struct tUserVector {
    int number = 0;
    std::string routine;
};

class IInterruptController {
public:
    virtual ~IInterruptController() = default;
    // Claims the source's vector for `owner` and writes the routine name (claim), or gives it
    // back and restores the name the user had (release). Claiming fails when another module
    // owns the source; releasing is allowed to the owner only. True when it was done.
    virtual bool ClaimVector(const CModuleBase* owner, int source, const std::string& routine,
                             bool claim) = 0;
    // The module that owns the source's vector now, or null.
    virtual const CModuleBase* VectorOwner(int source) const = 0;
    // The user vector whose source number is `source` (FamA), or none.
    virtual std::optional<tUserVector> UserVectorOf(int source) const = 0;
    // Both debug-port transfer interrupts (transmit register empty, receive register full) are
    // enabled (FamA); false where the controller has no such settings.
    virtual bool DebugPortInterruptsEnabled() const = 0;
};

// The interrupt controller of the asker's document, or null.
IInterruptController* FindInterruptControllerOf(const CModuleBase& asker);

// The user vector of the source, or none without a controller.
std::optional<tUserVector> UserVectorOf(const CModuleBase& asker, int source);
// Claims or releases a vector for the asker; false without a controller or when refused.
bool ClaimInterruptVector(const CModuleBase& asker, int source, const std::string& routine,
                          bool claim);
bool DebugPortInterruptsEnabled(const CModuleBase& asker);

// Shows on the asker's page control the note for the source's user vector ("NOTE: defined as
// USER%d (%s) in WINTC module." or the format given), made a link to the controller, or hides
// the control when the source is no user vector. Nothing happens without a page.
void ShowUserVectorNote(CModuleBase& asker, int controlId, int source,
                        const char* format = "NOTE: defined as USER%d (%s) in WINTC module.");

} // namespace hwc
