#pragma once

#include "language/LevelQueries.h"

#include <QAbstractItemModel>
#include <QSet>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class LanguageService;
class QLabel;
class QTreeView;

// A level's scripts, each with its functions and globals in file order under it.
class LevelOutline : public QAbstractItemModel {
    Q_OBJECT

public:
    struct Script {
        QString path;
        QString name;
        QString readError;
        // Keeps the text the outline's names view.
        std::shared_ptr<const ScriptAnalysis> analysis;
        std::shared_ptr<const std::vector<OutlineItem>> items;
    };

    explicit LevelOutline(QObject* parent = nullptr) : QAbstractItemModel(parent) {}

    // Takes the place of the scripts shown, row by row where the same scripts stay, so that what
    // is expanded stays expanded. Gives back the scripts it showed before.
    std::vector<Script> setScripts(std::vector<Script> scripts);
    const std::vector<Script>& scripts() const { return m_scripts; }

    // The script a row stands for, and the item of it when the row is one.
    const Script* scriptAt(const QModelIndex& index) const;
    const OutlineItem* itemAt(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<Script> m_scripts;
};

// The panel beside the editor: the scripts of the current script's level, and what each
// declares. Activating a script opens it; activating a function or global goes to it. The outlines
// are made on the language service's worker, once for each reading of a script.
class LevelPanel : public QWidget {
    Q_OBJECT

public:
    LevelPanel(LanguageService& language, QWidget* parent);
    ~LevelPanel() override;

    // The level to show: taken at once while the panel shows, else when it is shown next.
    void showLevel(std::shared_ptr<const Level> level);
    QTreeView* view() const { return m_view; }
    LevelOutline* outline() const { return m_outline; }

signals:
    void scriptActivated(const QString& path);
    // `offset` into the script's text.
    void placeActivated(const QString& path, std::size_t offset);
    // The outline of the level last asked for is shown.
    void shown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void outlineLevel();
    void takeScripts(std::vector<LevelOutline::Script> scripts, const QString& folder);

    LanguageService& m_language;
    QLabel* m_title;
    QTreeView* m_view;
    LevelOutline* m_outline;
    std::shared_ptr<const Level> m_pending;  // waits for the panel to show
    std::uint64_t m_asked = 0;               // outlines asked for, so that only the newest is shown
    QString m_folder;
    QSet<QString> m_expanded;  // the scripts expanded, by path
};
