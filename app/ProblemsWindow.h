#pragma once

#include "language/Level.h"

#include <QDialog>

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QListWidget;

// The faults the check found in the scripts of a level, one line each with its script and line
// number: a small window that stays open beside the main one. Activating an entry asks to go to
// its place.
class ProblemsWindow : public QDialog {
    Q_OBJECT

public:
    explicit ProblemsWindow(QWidget* parent);

    // Lists the first findings of the level's scripts, those of script `first` (the one being
    // edited) before the others; a script never saved is listed as `unsavedName`. Gives back the
    // level it showed before, for the caller to let go of where that costs the window nothing.
    std::shared_ptr<const Level> showLevel(std::shared_ptr<const Level> level, std::optional<std::size_t> first,
                                           const QString& unsavedName);

signals:
    // The finding's script (empty for one never saved), place and length in the script's text.
    void findingChosen(const QString& path, std::size_t offset, std::size_t length);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillList();

    QListWidget* m_list;
    QLabel* m_summary;
    std::shared_ptr<const Level> m_level;
    std::optional<std::size_t> m_first;
    QString m_unsavedName;
    std::vector<std::pair<std::size_t, std::size_t>> m_entries;  // script and finding of each row
    bool m_listed = false;  // the list shows m_level
};
