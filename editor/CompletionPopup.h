#pragma once

#include "language/Completion.h"

#include <QListView>

#include <vector>

class CandidateModel;

// The list of completion candidates shown under the word being typed. It never takes the
// keyboard focus: the editor keeps it and hands the list the keys that move through it.
class CompletionPopup : public QListView {
    Q_OBJECT

public:
    explicit CompletionPopup(QWidget* editor);

    // Fills the list and makes the first candidate that can be inserted the current one.
    void setCandidates(std::vector<Candidate> candidates);
    // True when some candidate can be inserted; a list of headings alone offers nothing.
    bool offersAny() const;
    const std::vector<Candidate>& candidates() const;
    // Moves the current candidate by `rows` (a page is pageRows()), over the headings.
    void moveCurrent(int rows);
    int pageRows() const;
    // The current candidate, or nullptr when none is or it is a heading.
    const Candidate* chosen() const;
    // Shows the list with its top left corner at `below` (global), or above `above` when the
    // screen has no room under it.
    void showAt(QPoint below, int above);

signals:
    void picked();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    // Tells assistive technology which candidate is current: the list never has the focus that
    // would tell it otherwise.
    void announceCurrent();

    CandidateModel* m_model;
    // Where the list was last placed: below the word, or above it where there is no room below.
    QPoint m_below;
    int m_above = 0;
};
