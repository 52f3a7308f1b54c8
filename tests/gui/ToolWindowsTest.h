#pragma once
// The base of the window tests that start the tool's windows as the program
// does, with a configuration folder of their own (no stored settings), once
// the first activation has loaded the settings.
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "app/MainForm.h"
#include "app/Startup.h"

class ToolWindowsTest : public ::testing::Test {
protected:
    void StartWindows()
    {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        windows_ = std::make_unique<TToolWindows>();
        f().show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return f().SettingsRegistry != nullptr; }, 3000));
    }

    void TearDown() override
    {
        windows_.reset();
        if (hadConfigHome_) qputenv("XDG_CONFIG_HOME", savedConfigHome_);
        else qunsetenv("XDG_CONFIG_HOME");
    }

    TMainForm& f() { return windows_->Main(); }

    QTemporaryDir config_;
    std::unique_ptr<TToolWindows> windows_;

private:
    const bool hadConfigHome_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
};
