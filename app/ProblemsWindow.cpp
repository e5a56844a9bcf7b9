#include "app/ProblemsWindow.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QString entryText(const QString& script, const Finding& finding)
{
    const char* kind = finding.severity == Severity::Error ? "error" : "warning";
    return QStringLiteral("%1: Line %2: %3: %4")
        .arg(script)
        .arg(finding.place.line)
        .arg(QLatin1String(kind))
        .arg(QString::fromUtf8(finding.message.data(), qsizetype(finding.message.size())));
}

// A level with thousands of faults lists the first of them: filling the list is what a check
// at a pause in typing would spend its time on.
constexpr std::size_t kListedFindings = 500;

QString summaryText(std::size_t count)
{
    if (count == 0)
        return QStringLiteral("No problems found.");
    if (count > kListedFindings)
        return QStringLiteral("%1 problems; the first %2 are listed.").arg(count).arg(kListedFindings);
    return count == 1 ? QStringLiteral("1 problem.") : QStringLiteral("%1 problems.").arg(count);
}

} // namespace

ProblemsWindow::ProblemsWindow(QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_summary(new QLabel(summaryText(0), this))
{
    setObjectName(QStringLiteral("ProblemsWindow"));
    m_list->setObjectName(QStringLiteral("ProblemList"));
    m_summary->setObjectName(QStringLiteral("ProblemSummary"));
    setWindowTitle(QStringLiteral("Problems"));
    setModal(false);
    m_list->setUniformItemSizes(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(m_summary);
    resize(480, 220);

    // Double-click and Enter both activate.
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const int row = m_list->row(item);
        if (row < 0 || std::size_t(row) >= m_entries.size() || !m_listed)
            return;
        const auto [script, finding] = m_entries[std::size_t(row)];
        const Finding& found = (*m_level->script(script).findings)[finding];
        emit findingChosen(m_level->script(script).path, found.place.offset, found.length);
    });
}

std::shared_ptr<const Level> ProblemsWindow::showLevel(std::shared_ptr<const Level> level,
                                                       std::optional<std::size_t> first, const QString& unsavedName)
{
    auto shown = std::exchange(m_level, std::move(level));
    m_first = first;
    m_unsavedName = unsavedName;
    m_listed = false;
    // A hidden list is filled when it is shown.
    if (isVisible())
        fillList();
    return shown;
}

void ProblemsWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_listed)
        fillList();
}

void ProblemsWindow::fillList()
{
    m_listed = true;
    const int keptRow = m_list->currentRow();
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    m_entries.clear();
    std::size_t count = 0;
    if (m_level) {
        std::vector<std::size_t> order;
        if (m_first && *m_first < m_level->size())
            order.push_back(*m_first);
        for (std::size_t script = 0; script < m_level->size(); ++script) {
            if (script != m_first)
                order.push_back(script);
        }
        for (const std::size_t script : order) {
            const LevelScript& read = m_level->script(script);
            if (!read.findings)
                continue;
            count += read.findings->size();
            const QString name = read.path.isEmpty() ? m_unsavedName : QFileInfo(read.path).fileName();
            for (std::size_t i = 0; i < read.findings->size() && m_entries.size() < kListedFindings; ++i) {
                const Finding& finding = (*read.findings)[i];
                auto* item = new QListWidgetItem(entryText(name, finding), m_list);
                item->setForeground(finding.severity == Severity::Error ? QColor(0xc0, 0x00, 0x00)
                                                                        : QColor(0x90, 0x60, 0x00));
                m_entries.emplace_back(script, i);
            }
        }
    }
    // The user's place in the list survives a check that finds the same count of faults.
    if (keptRow >= 0 && keptRow < m_list->count())
        m_list->setCurrentRow(keptRow);
    m_list->setUpdatesEnabled(true);
    m_summary->setText(summaryText(count));
}
