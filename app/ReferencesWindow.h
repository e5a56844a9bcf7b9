#pragma once

#include "app/PlaceList.h"

#include <QDialog>

class QLabel;

// Every use of a name across the level: a small window that stays open beside the main one.
class ReferencesWindow : public QDialog {
    Q_OBJECT

public:
    explicit ReferencesWindow(QWidget* parent);

    // `level` holds the texts the places view.
    void showReferences(const QString& name, std::vector<LevelPlace> places, std::shared_ptr<const Level> level);
    PlaceList* list() const { return m_list; }

private:
    QLabel* m_summary;
    PlaceList* m_list;
};
