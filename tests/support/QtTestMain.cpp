#include <gtest/gtest.h>

#include <QCoreApplication>

// Ports and timers want an application object and an event loop on this thread.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
