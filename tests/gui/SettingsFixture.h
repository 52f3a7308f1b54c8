#pragma once
// The settings tests' rig: a private configuration folder per test, the tool
// started and closed as the program main does, a pseudo-terminal standing in
// for a serial adapter, and a reader of the message boxes the close shows.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/Startup.h"

namespace settingsrig {

// Every test gets its own configuration folder, never the user's.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config_.isValid());
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved_); }

    QString IniPath() const { return config_.path() + QStringLiteral("/TORVA_ORBICOUNT_TOOL.ini"); }

    void WriteIni(const QByteArray& content) const
    {
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QString Stored(const char* name) const
    {
        QSettings ini(IniPath(), QSettings::IniFormat);
        return ini.value(QStringLiteral("Cfg/") + QLatin1String(name)).toString();
    }

    // Starts the tool as the program main does and lets the first activation run.
    static std::unique_ptr<TToolWindows> Start()
    {
        auto windows = std::make_unique<TToolWindows>();
        windows->Main().show();
        const bool loaded = QTest::qWaitFor([&] { return windows->Main().SettingsRegistry != nullptr; }, 3000);
        EXPECT_TRUE(loaded);
        return windows;
    }

    static void Stop(std::unique_ptr<TToolWindows>& windows)
    {
        windows->Main().close();
        windows.reset();
    }

    QTemporaryDir config_;
    QByteArray saved_;
};

// A pseudo-terminal linked in as COM1, standing in for a serial adapter.
class PseudoPort {
public:
    explicit PseudoPort(const QString& configFolder)
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slave_ = ::ptsname(master_);
        const std::filesystem::path ports = configFolder.toStdString() + "/TORVA_ORBICOUNT_TOOL/ports";
        std::filesystem::create_directories(ports);
        std::filesystem::create_symlink(slave_, ports / "com1");
    }
    ~PseudoPort()
    {
        if (master_ >= 0) ::close(master_);
    }
    bool Valid() const { return !slave_.empty(); }

    // Descriptors of this process that lead to the port's device.
    int OpenByProcess() const
    {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            if (std::filesystem::read_symlink(entry.path(), ec) == slave_) ++n;
        }
        return n;
    }

private:
    int master_ = -1;
    std::string slave_;
};

// Reads every message box that opens and answers it with Ok, so that a close
// that reports something never blocks a test.
class BoxReader {
public:
    struct Box {
        QString title, text;
        QMessageBox::StandardButtons buttons;
    };

    BoxReader()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen.push_back({box->windowTitle(), box->text(), box->standardButtons()});
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(10);
    }

    std::vector<Box> seen;

private:
    QTimer timer_;
};

} // namespace settingsrig
