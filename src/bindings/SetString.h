#pragma once
// An edit box bound to the text value of a register item (names, paths, user texts).

#include <cstdint>
#include <string>
#include <string_view>

#include "bindings/SetCtrl.h"

struct tPerCfgItem;

class CSetString : public CSetCtrl {
public:
    // Binds the item (when given) and takes its text; a given description goes through
    // SetDescription.
    void Bind(tPerCfgItem* item, const char* description = nullptr);
    // A description "Label##unit" keeps "Label" and shows "unit" after the value in the summary.
    void SetDescription(std::string_view text);
    // Puts the text in the edit box (or keeps it while detached), then applies it.
    void SetText(std::string_view text);
    std::string GetText() const;
    const std::string& Description() const { return m_description; }
    const std::string& Suffix() const { return m_suffix; }

    void Refresh() override;
    void Apply() override;
    // Text fields have nothing to step through.
    void SelfTest() override {}
    std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override;
    tBindingField Field() const override;

protected:
    void OnAttached() override;

private:
    tPerCfgItem* m_item = nullptr;
    std::string m_text;
    std::string m_description;
    std::string m_suffix;
};
