#pragma once

#include "language/ScriptChecker.h"

#include <QDialog>

#include <cstddef>
#include <vector>

class QLabel;
class QListWidget;

// The faults the script check found, one line each with its line number: a small window that
// stays open beside the main one. Activating an entry asks to go to its place.
class ProblemsWindow : public QDialog {
    Q_OBJECT

public:
    explicit ProblemsWindow(QWidget* parent);

    void showFindings(const std::vector<Finding>& findings);

signals:
    // The finding's place and length in the script's text.
    void findingChosen(std::size_t offset, std::size_t length);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillList();

    QListWidget* m_list;
    QLabel* m_summary;
    std::vector<Finding> m_findings;
    bool m_listed = false;  // the list shows m_findings
};
