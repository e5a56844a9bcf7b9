#include "app/LevelPanel.h"

#include "language/LanguageService.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <utility>

namespace {

// A script's row has no parent; an item's row keeps its script's row + 1 as its internal id.
constexpr quintptr kScriptRow = 0;
// A level of no more scripts and declarations than these shows them expanded when it first shows.
constexpr std::size_t kOpenedScripts = 8;
constexpr std::size_t kOpenedItems = 2000;

QString itemText(const OutlineItem& item)
{
    if (item.role == NameRole::Function)
        return QStringLiteral("func ") + QString::fromUtf8(item.name) + QString::fromUtf8(item.detail);
    return QStringLiteral("var ") + QString::fromUtf8(item.detail) + QLatin1Char(' ') + QString::fromUtf8(item.name);
}

} // namespace

std::vector<LevelOutline::Script> LevelOutline::setScripts(std::vector<Script> scripts)
{
    const bool sameScripts = scripts.size() == m_scripts.size() &&
                             std::equal(scripts.begin(), scripts.end(), m_scripts.begin(),
                                        [](const Script& a, const Script& b) { return a.path == b.path; });
    if (!sameScripts) {
        beginResetModel();
        std::swap(m_scripts, scripts);
        endResetModel();
        return scripts;
    }
    // Row by row: a view keeps what is expanded and where it is scrolled.
    for (std::size_t row = 0; row < scripts.size(); ++row) {
        Script& shown = m_scripts[row];
        Script& fresh = scripts[row];
        const QModelIndex parent = index(int(row), 0);
        const int before = int(shown.items->size());
        const int after = int(fresh.items->size());
        if (before == after) {
            std::swap(shown, fresh);
            if (after > 0)
                emit dataChanged(index(0, 0, parent), index(after - 1, 0, parent));
            emit dataChanged(parent, parent);
            continue;
        }
        if (before > 0) {
            beginRemoveRows(parent, 0, before - 1);
            shown.items = std::make_shared<const std::vector<OutlineItem>>();
            endRemoveRows();
        }
        const std::shared_ptr<const std::vector<OutlineItem>> emptied = shown.items;
        if (after > 0)
            beginInsertRows(parent, 0, after - 1);
        std::swap(shown, fresh);
        fresh.items = emptied;
        if (after > 0)
            endInsertRows();
        emit dataChanged(parent, parent);
    }
    return scripts;
}

const LevelOutline::Script* LevelOutline::scriptAt(const QModelIndex& index) const
{
    if (!index.isValid())
        return nullptr;
    const std::size_t row = index.internalId() == kScriptRow ? std::size_t(index.row()) : index.internalId() - 1;
    return row < m_scripts.size() ? &m_scripts[row] : nullptr;
}

const OutlineItem* LevelOutline::itemAt(const QModelIndex& index) const
{
    const Script* script = scriptAt(index);
    if (!script || index.internalId() == kScriptRow || std::size_t(index.row()) >= script->items->size())
        return nullptr;
    return &(*script->items)[std::size_t(index.row())];
}

QModelIndex LevelOutline::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0)
        return {};
    if (!parent.isValid())
        return std::size_t(row) < m_scripts.size() ? createIndex(row, 0, kScriptRow) : QModelIndex();
    if (parent.internalId() != kScriptRow || std::size_t(parent.row()) >= m_scripts.size() ||
        std::size_t(row) >= m_scripts[std::size_t(parent.row())].items->size())
        return {};
    return createIndex(row, 0, quintptr(parent.row()) + 1);
}

QModelIndex LevelOutline::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == kScriptRow)
        return {};
    return createIndex(int(child.internalId() - 1), 0, kScriptRow);
}

int LevelOutline::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_scripts.size());
    if (parent.internalId() != kScriptRow || std::size_t(parent.row()) >= m_scripts.size())
        return 0;
    return int(m_scripts[std::size_t(parent.row())].items->size());
}

int LevelOutline::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant LevelOutline::data(const QModelIndex& index, int role) const
{
    const Script* script = scriptAt(index);
    if (!script)
        return {};
    const OutlineItem* item = itemAt(index);
    switch (role) {
    case Qt::DisplayRole:
        return item ? itemText(*item) : script->name;
    case Qt::ToolTipRole:
        if (item)
            return QStringLiteral("%1, line %2").arg(script->name).arg(item->place.line);
        return script->readError.isEmpty() ? script->path : script->readError;
    default:
        return {};
    }
}

LevelPanel::LevelPanel(LanguageService& language, QWidget* parent)
    : QWidget(parent), m_language(language), m_title(new QLabel(this)), m_view(new QTreeView(this)),
      m_outline(new LevelOutline(this))
{
    setObjectName(QStringLiteral("LevelPanel"));
    m_title->setObjectName(QStringLiteral("LevelFolder"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setIndent(4);
    m_view->setObjectName(QStringLiteral("LevelTree"));
    m_view->setModel(m_outline);
    m_view->setHeaderHidden(true);
    m_view->setUniformRowHeights(true);
    m_view->setExpandsOnDoubleClick(false);
    // Reached by its key or a click, so that Tab in the window keeps its round of the controls.
    m_view->setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_title);
    layout->addWidget(m_view, 1);

    connect(m_view, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (const LevelOutline::Script* script = m_outline->scriptAt(index); script && !m_outline->itemAt(index))
            m_expanded.insert(script->path);
    });
    connect(m_view, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (const LevelOutline::Script* script = m_outline->scriptAt(index))
            m_expanded.remove(script->path);
    });
    connect(m_view, &QTreeView::activated, this, [this](const QModelIndex& index) {
        const LevelOutline::Script* script = m_outline->scriptAt(index);
        if (!script)
            return;
        if (const OutlineItem* item = m_outline->itemAt(index))
            // A function from its `func`, a global at its name.
            emit placeActivated(script->path, item->role == NameRole::Function ? item->begin : item->place.offset);
        else
            emit scriptActivated(script->path);
    });
}

LevelPanel::~LevelPanel()
{
    // The outlines of a large level take long to free: the worker does it.
    m_language.run([scripts = m_outline->setScripts({})]() mutable {
        scripts.clear();
        return LanguageService::Continuation();
    });
}

void LevelPanel::showLevel(std::shared_ptr<const Level> level)
{
    // A level that was waiting for the panel to show may hold the last reading of a large script:
    // the worker lets go of it.
    m_language.release({}, {}, std::exchange(m_pending, std::move(level)));
    if (isVisible())
        outlineLevel();
}

void LevelPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_pending)
        outlineLevel();
}

void LevelPanel::outlineLevel()
{
    std::shared_ptr<const Level> level = std::exchange(m_pending, nullptr);
    // What was outlined before is outlined again only where a script was read again.
    std::map<const ScriptAnalysis*, std::shared_ptr<const std::vector<OutlineItem>>> known;
    for (const LevelOutline::Script& script : m_outline->scripts())
        known.emplace(script.analysis.get(), script.items);
    const std::uint64_t asked = ++m_asked;
    m_language.run([panel = QPointer<LevelPanel>(this), asked, level = std::move(level),
                    known = std::move(known)]() -> LanguageService::Continuation {
        std::vector<LevelOutline::Script> scripts;
        scripts.reserve(level->size());
        for (const LevelScript& script : level->scripts()) {
            LevelOutline::Script outlined{script.path, QFileInfo(script.path).fileName(),
                                          script.readError ? script.readError->message() : QString(),
                                          script.analysis, nullptr};
            if (outlined.name.isEmpty())
                outlined.name = QStringLiteral("Untitled");
            const auto found = known.find(script.analysis.get());
            outlined.items = found != known.end()
                ? found->second
                : std::make_shared<const std::vector<OutlineItem>>(outlineOf(*script.analysis));
            scripts.push_back(std::move(outlined));
        }
        return [panel, asked, scripts = std::move(scripts), folder = level->folder()]() mutable {
            if (panel && asked == panel->m_asked)
                panel->takeScripts(std::move(scripts), folder);
        };
    });
}

void LevelPanel::takeScripts(std::vector<LevelOutline::Script> scripts, const QString& folder)
{
    if (folder != m_folder) {
        // A small level shows what each script declares at once.
        m_expanded.clear();
        std::size_t items = 0;
        for (const LevelOutline::Script& script : scripts)
            items += script.items->size();
        if (scripts.size() <= kOpenedScripts && items <= kOpenedItems) {
            for (const LevelOutline::Script& script : scripts)
                m_expanded.insert(script.path);
        }
    }
    m_folder = folder;
    m_title->setText(folder.isEmpty() ? QStringLiteral("No folder") : QFileInfo(folder).fileName());
    m_title->setToolTip(folder);
    m_language.run([old = m_outline->setScripts(std::move(scripts))]() mutable {
        old.clear();
        return LanguageService::Continuation();
    });
    // After a reset the view has forgotten what was expanded.
    for (int row = 0; row < m_outline->rowCount(); ++row) {
        const QModelIndex index = m_outline->index(row, 0);
        if (m_expanded.contains(m_outline->scriptAt(index)->path))
            m_view->expand(index);
    }
    emit shown();
}
