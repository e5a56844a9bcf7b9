#include <QCoreApplication>

#include <gtest/gtest.h>

// The server runs as a process of its own; QProcess wants an application object, no display.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
