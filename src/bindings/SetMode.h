#pragma once
// The combo-box binding for a bit field of a numeric register: the position of the chosen entry,
// or the number a table gives for it, is written into the field. An editable combo box also
// takes a typed number; entries may name their number as "(=N)".

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/SetCtrl.h"

struct tPerCfgItem;

class CSetMode : public CSetCtrl {
public:
    using Setter = void (*)(int value, void* context, int parameter);
    using Getter = int (*)(void* context, int parameter);

    // Binds bits lowBit..highBit of the item. With a table, entry i of the list stands for the
    // field value table[i]; an empty table means none.
    void Bind(tPerCfgItem& item, int lowBit, int highBit, int offset,
              const char* description = nullptr, std::span<const int> table = {});
    void BindCustom(Setter setter, Getter getter, void* context, int parameter,
                    const char* description = nullptr);
    // Replaces the value table (an empty one removes it) and, when given, the entries; with a
    // table only as many entries as it has are kept.
    void SetItems(std::span<const int> table, std::optional<std::vector<std::string>> displayTexts);
    // The same with entries other lists show too; they are held once.
    void SetItems(std::span<const int> table,
                  std::shared_ptr<const std::vector<std::string>> displayTexts);

    // The chosen position, or the typed number of an editable combo box; -1 for none or for a
    // number out of range (`valid` false then, with a message when asked).
    int GetIndex(bool& valid, bool showMessages);
    // A valid choice is needed: no selection reports "Selection is not valid".
    bool ValidateControl(bool show) override;
    // GetIndex mapped through the table.
    int GetValue();
    // Shows a value: selects its position, or for an editable combo box the entry with that
    // number (added when missing). While detached the value is written instead.
    void SetIndex(int value);
    // Disabling with `clear` removes the selection first.
    void EnableAndClear(bool enable, bool clear);
    // The text of a value as the summary and the self-test show it.
    std::string ValueText(int value) const;

    const std::string& Description() const { return m_description; }
    std::uint32_t Mask() const { return m_mask; }
    int Shift() const { return m_shift; }
    bool IsEditable() const { return m_editable; }
    const std::vector<std::string>& DisplayTexts() const;

    void Refresh() override;
    void Apply() override;
    void SelfTest() override;
    std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override;
    tBindingField Field() const override;
    void OnControlEvent(CPageControl& control, EControlEvent event) override;
    void OnControlDestroyed(CPageControl& control) override;

protected:
    void OnAttached() override;

private:
    int FieldValue() const;
    // The number typed into an editable combo box, when readable and within the bounds.
    std::optional<int> TypedNumber(std::string_view text) const;
    void WriteValue(int value);
    // The entries searched for a number: the combo box's own while attached.
    const std::vector<std::string>& Entries() const;
    int EntryOfNumber(int value) const;
    void FillControl();

    std::uint32_t* m_value = nullptr;
    std::string m_description;
    std::uint32_t m_mask = 0;
    int m_shift = 0;
    int m_offset = 0;
    std::optional<std::vector<int>> m_table;
    // The entries while the list is detached, or those the code gave it; shared with the combo
    // box, which shows them without a copy of its own.
    std::shared_ptr<const std::vector<std::string>> m_displayTexts;
    const tPerCfgItem* m_selfTestItem = nullptr; // the register a self-test line names
    bool m_editable = false;
    bool m_listFromCode = false;
    Setter m_setter = nullptr;
    Getter m_getter = nullptr;
    void* m_context = nullptr;
    int m_parameter = 0;
    std::uint32_t m_minimum = 0;
    std::uint32_t m_maximum = 0;
};
