#include "app/ReferencesWindow.h"

#include <QLabel>
#include <QSet>
#include <QVBoxLayout>

ReferencesWindow::ReferencesWindow(QWidget* parent)
    : QDialog(parent), m_summary(new QLabel(this)), m_list(new PlaceList(this))
{
    setObjectName(QStringLiteral("ReferencesWindow"));
    m_summary->setObjectName(QStringLiteral("ReferenceSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_list->setObjectName(QStringLiteral("ReferenceList"));
    setWindowTitle(QStringLiteral("References"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    resize(560, 260);
}

void ReferencesWindow::showReferences(const QString& name, std::vector<LevelPlace> places,
                                      std::shared_ptr<const Level> level)
{
    QSet<QString> scripts;
    for (const LevelPlace& place : places)
        scripts.insert(place.path.isEmpty() ? place.name : place.path);
    const QString uses = places.size() == 1 ? QStringLiteral("1 use") : QStringLiteral("%1 uses").arg(places.size());
    const QString in = scripts.size() == 1 ? QStringLiteral("1 script") : QStringLiteral("%1 scripts").arg(scripts.size());
    m_summary->setText(QStringLiteral("'%1': %2 in %3.").arg(name, uses, in));
    setWindowTitle(QStringLiteral("References to %1").arg(name));
    m_list->places()->setPlaces(std::move(places), std::move(level));
    show();
    raise();
    activateWindow();
    m_list->setFocus();
    if (m_list->places()->rowCount() > 0)
        m_list->setCurrentIndex(m_list->places()->index(0, 0));
}
