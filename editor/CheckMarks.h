#pragma once

#include "language/ScriptChecker.h"

#include <QColor>
#include <QObject>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <vector>

class ScriptEditor;

// Underlines what the script check found with wavy lines: errors red, warnings amber. The marks
// move with the text until the next check replaces them.
class CheckMarks : public QObject {
    Q_OBJECT

public:
    // Scintilla's container indicators start at 8; QScintilla hands out its own from the top down.
    static constexpr int kErrorIndicator = 8;
    static constexpr int kWarningIndicator = 9;
    static inline const QColor kErrorColour{0xe0, 0x10, 0x10};
    static inline const QColor kWarningColour{0xe0, 0xa0, 0x00};
    // Underlined at once; beyond these, a turn of the event loop each, so that a script with a
    // fault on every line keeps the window answering while its marks go on.
    static constexpr std::size_t kMarksPerTurn = 2000;

    explicit CheckMarks(ScriptEditor& editor);

    // Replaces the underlines with those of `findings`, whose places are offsets into the
    // editor's text as it is now. An edit before they are all on stops the rest, which keep the
    // old underlines: the new places are out of date.
    void show(std::shared_ptr<const std::vector<Finding>> findings);
    void clear();

private:
    void markSome();

    ScriptEditor& m_editor;
    std::shared_ptr<const std::vector<Finding>> m_pending;
    std::size_t m_next = 0;
    long m_clearedTo = 0;  // the old underlines are gone up to here
    QTimer m_nextTurn;
};
