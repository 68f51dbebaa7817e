// Test programs run with a Qt application object, as the programs do.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    // Whatever accounts this machine has, the tests' service runs as the user
    // running them: a test that wants a service account names one.
    qputenv("STAVIO_SERVICE_ACCOUNT", "stavio-tests-name-no-account");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
