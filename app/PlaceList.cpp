#include "app/PlaceList.h"

#include <QHeaderView>

namespace {

enum Column { FileColumn, LineColumn, TextColumn, ColumnCount };

// A long line shows its start: the list is for finding the place, not for reading the line.
constexpr std::size_t kShownLineBytes = 300;

QString shownLine(std::string_view line)
{
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    QString text = QString::fromUtf8(line.data(), qsizetype(std::min(line.size(), kShownLineBytes)));
    if (line.size() > kShownLineBytes)
        text += QChar(0x2026);
    return text;
}

} // namespace

void PlaceModel::setPlaces(std::vector<LevelPlace> places, std::shared_ptr<const Level> level)
{
    beginResetModel();
    m_places = std::move(places);
    m_level = std::move(level);
    endResetModel();
}

int PlaceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_places.size());
}

int PlaceModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlaceModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || std::size_t(index.row()) >= m_places.size())
        return {};
    const LevelPlace& place = m_places[std::size_t(index.row())];
    if (role == Qt::ToolTipRole)
        return place.path.isEmpty() ? place.name : place.path;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case FileColumn:
        return place.name;
    case LineColumn:
        return place.line;
    case TextColumn:
        return shownLine(place.lineText);
    default:
        return {};
    }
}

QVariant PlaceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kTitles[] = {"File", "Line", "Text"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kTitles[section]) : QVariant();
}

PlaceList::PlaceList(QWidget* parent) : QTreeView(parent), m_model(new PlaceModel(this))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(FileColumn, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(LineColumn, QHeaderView::ResizeToContents);
    connect(this, &QTreeView::activated, this, [this](const QModelIndex& index) {
        if (index.isValid() && std::size_t(index.row()) < m_model->places().size())
            emit placeChosen(m_model->places()[std::size_t(index.row())]);
    });
}
