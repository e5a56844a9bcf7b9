#pragma once

#include "editor/DeclaredNames.h"
#include "editor/ScriptChecker.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Reads and checks a script on a worker thread from a snapshot of its text, so that the window's
// thread never waits for either. Each request names the revision of the text it holds; a request that
// a newer one overtook before it started is dropped unread.
class BackgroundCheck : public QObject {
    Q_OBJECT

public:
    explicit BackgroundCheck(QObject* parent = nullptr);
    // Waits for a check still running: it reads names the window may be about to free.
    ~BackgroundCheck() override;

    void request(std::uint64_t revision, std::shared_ptr<const std::string> text,
                 std::shared_ptr<const DeclaredNames> siblings);

signals:
    // On the thread that made the request. Without the memory for a check, both are null.
    void checked(std::uint64_t revision, std::shared_ptr<const ScriptAnalysis> analysis,
                 std::shared_ptr<const std::vector<Finding>> findings);

private:
    QThreadPool m_worker;
    std::atomic<std::uint64_t> m_newest{0};
};
