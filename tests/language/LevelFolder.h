#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// A level's folder the tests write scripts into, as the game's modders keep them: file bytes in
// windows-1252 with any line ends.
class LevelFolder {
public:
    LevelFolder() { EXPECT_TRUE(m_dir.isValid()); }

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    QString write(const QString& name, std::string_view bytes) const
    {
        QFile out(file(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(out.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
        return file(name);
    }

private:
    QTemporaryDir m_dir;
};
