// End-to-end tests run inside one QApplication on the offscreen platform; the
// configuration folder is a private one, and a test that links serial ports
// in points it at its own.
#include <QApplication>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    // A meter that hangs up must not end the test run.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
