#pragma once
// The combo-box binding for a string-valued register: each entry has a display text and a value
// text (a symbol), and choosing an entry writes its value text into the item.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/SetCtrl.h"

struct tPerCfgItem;

class CSetEnum : public CSetCtrl {
public:
    // With `storeIndex` the chosen position is also kept in the item's dwValue.
    void Bind(tPerCfgItem& item, bool storeIndex, const char* description = nullptr);
    // The part after "##" becomes the suffix the summary puts after the value.
    void SetDescription(std::string_view text);
    // Entries supplied by the module instead of the page's template.
    void SetItems(std::vector<std::string> displayTexts, std::vector<std::string> valueTexts);
    // The chosen position; while detached the entry whose value text is the item's, or -1.
    int GetIndex() const;

    const std::string& Description() const { return m_description; }
    const std::string& Suffix() const { return m_suffix; }
    const std::vector<std::string>& DisplayTexts() const { return m_displayTexts; }
    const std::vector<std::string>& ValueTexts() const { return m_valueTexts; }

    void Refresh() override;
    void Apply() override;
    void SelfTest() override {}
    std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override;
    tBindingField Field() const override;
    void OnControlEvent(CPageControl& control, EControlEvent event) override;

protected:
    void OnAttached() override;

private:
    int IndexOfItem() const;
    void WritePosition(int position);

    tPerCfgItem* m_item = nullptr;
    bool m_storeIndex = false;
    std::string m_description;
    std::string m_suffix;
    std::vector<std::string> m_displayTexts;
    std::vector<std::string> m_valueTexts;
    bool m_listFromCode = false;
};
