#include <QCoreApplication>
#include <gtest/gtest.h>

// Test main of the programs outside the client: an event loop for their sockets and processes.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
