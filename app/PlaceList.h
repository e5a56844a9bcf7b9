#pragma once

#include "language/Level.h"

#include <QAbstractTableModel>
#include <QString>
#include <QTreeView>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// A stretch of one of the level's scripts that a search found.
struct LevelPlace {
    QString path;                // empty for a script never saved
    std::uint64_t document = 0;  // the tab that holds a script never saved
    QString name;                // the script's name as the list shows it
    int line = 0;
    std::string_view lineText;  // views the level the places were found in
    std::size_t offset = 0;     // into the script's text
    std::size_t length = 0;
};

// Places as rows of file, line and the line's text. Made for many rows: the text of a row is made
// only when it is shown.
class PlaceModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PlaceModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // `level` holds the texts the places view.
    void setPlaces(std::vector<LevelPlace> places, std::shared_ptr<const Level> level);
    const std::vector<LevelPlace>& places() const { return m_places; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<LevelPlace> m_places;
    std::shared_ptr<const Level> m_level;
};

// A list of places; activating one (Enter, a double click) asks to go there.
class PlaceList : public QTreeView {
    Q_OBJECT

public:
    explicit PlaceList(QWidget* parent);

    PlaceModel* places() const { return m_model; }

signals:
    void placeChosen(const LevelPlace& place);

private:
    PlaceModel* m_model;
};
