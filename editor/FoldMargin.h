#pragma once

#include "language/Folding.h"

#include <QColor>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

class ScriptEditor;
struct ScriptAnalysis;

// The fold margin beside the line numbers. The folds come from a reading of the text as it is;
// the component keeps them in step with later edits until the next reading replaces them. A
// reading's folds go on a stretch of lines per turn of the event loop, so that a long script
// keeps the window answering, and only where they changed.
class FoldMargin : public QObject {
    Q_OBJECT

public:
    static constexpr int kMargin = 1;

    FoldMargin(ScriptEditor& editor, const QColor& background);

    void show(std::shared_ptr<const ScriptAnalysis> reading);
    // Whether folds of a reading are still going on.
    bool pending() const { return m_depths.has_value(); }

    // Folds or unfolds the innermost fold the caret is in.
    void toggleAtCaret();
    // Folds every outermost fold, or, when none is open, unfolds them all.
    void toggleAll();

private:
    void showSome();
    void stop();

    ScriptEditor& m_editor;
    std::shared_ptr<const ScriptAnalysis> m_reading;
    std::optional<FoldDepths> m_depths;
    long m_nextLine = 0;
    QTimer m_nextTurn;
};
