#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

class ScriptEditor;

// What the caret points at: the bracket or brace beside it and its partner, highlighted at once,
// or in the error colour when it has none; and, once the caret rests on a name, the uses of that
// name in the visible text, lit behind the text.
class CaretMarks : public QObject {
    Q_OBJECT

public:
    static constexpr int kOccurrenceIndicator = 10;
    static constexpr int kBraceIndicator = 12;
    static constexpr int kUnmatchedBraceIndicator = 13;

    explicit CaretMarks(ScriptEditor& editor);

    // How long the caret rests before a name's uses light up.
    void setRestDelay(std::chrono::milliseconds delay) { m_rest.setInterval(delay); }
    // Moves the caret to the partner of the bracket or brace beside it.
    void jumpToPartner();

private:
    struct Braces {
        long brace;
        long partner;  // -1 when it has none
        bool beforeCaret;
    };
    std::optional<Braces> bracesAtCaret() const;
    void showBraces();
    void lightOccurrences();

    ScriptEditor& m_editor;
    QTimer m_rest;
    bool m_edited = false;  // since the marks last went
};
