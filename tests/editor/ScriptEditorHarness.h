#pragma once

#include "editor/RichEdiT.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

// How one character shows.
struct Look {
    COLORREF colour = 0;
    bool bold = false;

    friend bool operator==(const Look&, const Look&) = default;
};

constexpr Look kGap{0x0000FF00, false};
constexpr Look kKeyword{0x00FF0000, true};
constexpr Look kCommand{0x0000A400, true};
constexpr Look kComment{0x0000FFFF, false};
constexpr Look kNumber{0x00FFA400, false};
constexpr Look kCharacter{0x0080FF80, false};

// The script editor exposed to tests: its notification handlers can be driven directly, and it
// counts the before-change notifications it gets.
class ObservedEditor : public CRichEdiT {
public:
    using CRichEdiT::OnChange;
    using CRichEdiT::OnGetDlgCode;

    int styleChanges = 0;
    int textChanges = 0;

    int OnProtected(const ENPROTECTED& info) override
    {
        ++(info.msg == EditRequest::SetCharFormat ? styleChanges : textChanges);
        return CRichEdiT::OnProtected(info);
    }
};

// A window holding the script editor, set up the way the main window sets it up.
class ScriptEditorHarness {
public:
    static constexpr int kEditorId = 6010;

    struct Options {
        bool show = false;
        char commentChar = '#';
    };

    ScriptEditorHarness() : ScriptEditorHarness(Options{}) {}
    explicit ScriptEditorHarness(Options options);

    ObservedEditor& editor() { return m_editor; }
    QWidget* widget() { return m_editor.GetSafeHwnd(); }

    // The whole text, read without moving the selection or the view.
    std::string text();
    // The look of each position.
    std::vector<Look> looks();
    // Looks of `text` as a fresh editor colours it whole, and the text after its case correction.
    static std::pair<std::string, std::vector<Look>> formattedAfresh(const std::string& text);

    void typeText(const QString& text);

private:
    std::unique_ptr<QWidget> m_window;
    ObservedEditor m_editor;
};

// Looks given as runs: {count, look}, ...
std::vector<Look> runs(std::initializer_list<std::pair<int, Look>> parts);
