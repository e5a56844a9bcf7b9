#pragma once

#include "platform/Wnd.h"

#include <string>
#include <vector>

class DropDownList;

// No entry: the answer about a position that does not exist.
constexpr int CB_ERR = -1;

// A drop-down list control in 8-bit text. Positions count from 0.
class CComboBox : public CWnd {
public:
    // Appends the entry, or in a sorted list inserts it in its place. Returns its position.
    int AddString(const std::string& text);
    // Many entries in one go, in the given order.
    void AddStrings(const std::vector<std::string>& texts);
    void ResetContent();

    int GetCount() const;
    int GetCurSel() const;
    // Selects without reporting a selection change; -1 or a position out of range clears the
    // selection. Returns the position selected, or CB_ERR.
    int SetCurSel(int index);
    // The entry at `index`; empty when there is none.
    std::string GetLBText(int index) const;

protected:
    bool Attach(QWidget* widget) override;

private:
    DropDownList* List() const;
};
