#pragma once

#include "app/PlaceList.h"
#include "language/TextSearch.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// Find, and replace, in every script of the level: a small window that stays open beside the main
// one and lists what it found.
class LevelFindDialog : public QDialog {
    Q_OBJECT

public:
    explicit LevelFindDialog(QWidget* parent);

    // Shows the box with `selected` as the text to find, when it is one line.
    void showFind(const QString& selected);
    // `level` holds the texts the places view.
    void showMatches(std::vector<LevelPlace> places, std::shared_ptr<const Level> level);
    // Says how a replace went; the matches listed are out of date by then.
    void showReplaced(int count, int scripts);
    void tell(const QString& notice);

    PlaceList* list() const { return m_list; }

signals:
    void findAll(const QString& text, SearchOptions options);
    void replaceAll(const QString& text, const QString& replacement, SearchOptions options);

private:
    SearchOptions options() const;

    QLineEdit* m_findText;
    QLineEdit* m_replaceText;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QLabel* m_notice;
    PlaceList* m_list;
};
