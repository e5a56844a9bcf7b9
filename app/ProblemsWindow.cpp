#include "app/ProblemsWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QString entryText(const Finding& finding)
{
    const char* kind = finding.severity == Severity::Error ? "error" : "warning";
    return QStringLiteral("Line %1: %2: %3")
        .arg(finding.place.line)
        .arg(QLatin1String(kind))
        .arg(QString::fromUtf8(finding.message.data(), qsizetype(finding.message.size())));
}

// A script with thousands of faults lists the first of them: filling the list is what a check
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
    resize(420, 200);

    // Double-click and Enter both activate.
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const int row = m_list->row(item);
        if (row >= 0 && std::size_t(row) < m_findings->size())
            emit findingChosen((*m_findings)[std::size_t(row)].place.offset, (*m_findings)[std::size_t(row)].length);
    });
}

std::shared_ptr<const std::vector<Finding>> ProblemsWindow::showFindings(std::shared_ptr<const std::vector<Finding>> findings)
{
    auto shown = std::exchange(m_findings, std::move(findings));
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
    for (std::size_t i = 0; i < std::min(m_findings->size(), kListedFindings); ++i) {
        const Finding& finding = (*m_findings)[i];
        auto* item = new QListWidgetItem(entryText(finding), m_list);
        item->setForeground(finding.severity == Severity::Error ? QColor(0xc0, 0x00, 0x00) : QColor(0x90, 0x60, 0x00));
    }
    // The user's place in the list survives a check that finds the same count of faults.
    if (keptRow >= 0 && keptRow < m_list->count())
        m_list->setCurrentRow(keptRow);
    m_list->setUpdatesEnabled(true);
    m_summary->setText(summaryText(m_findings->size()));
}
