#pragma once

#include "language/ScriptChecker.h"

#include <QDialog>

#include <cstddef>
#include <memory>
#include <vector>

class QLabel;
class QListWidget;

// The faults the script check found, one line each with its line number: a small window that
// stays open beside the main one. Activating an entry asks to go to its place.
class ProblemsWindow : public QDialog {
    Q_OBJECT

public:
    explicit ProblemsWindow(QWidget* parent);

    // Lists the first of them. Gives back the findings it showed before, for the caller to let
    // go of where that costs the window nothing.
    std::shared_ptr<const std::vector<Finding>> showFindings(std::shared_ptr<const std::vector<Finding>> findings);

signals:
    // The finding's place and length in the script's text.
    void findingChosen(std::size_t offset, std::size_t length);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillList();

    QListWidget* m_list;
    QLabel* m_summary;
    std::shared_ptr<const std::vector<Finding>> m_findings = std::make_shared<const std::vector<Finding>>();
    bool m_listed = false;  // the list shows m_findings
};
