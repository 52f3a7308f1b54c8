// An idle tool holds no file dialog and, once its window is drawn, no thread
// but the worker: a file dialog, with the threads it starts, is made only when
// it is first used.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "app/Startup.h"
#include "loggers/LoggerHandlers.h"

namespace {

int ThreadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// The thread sanitizer starts a thread of its own with the first thread the
// program makes, which here is the worker.
#if defined(__SANITIZE_THREAD__)
constexpr int kSanitizerThreads = 1;
#else
constexpr int kSanitizerThreads = 0;
#endif

int FileDialogsAndModels()
{
    int n = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        n += int(top->findChildren<QFileDialog*>().size() + top->findChildren<QFileSystemModel*>().size());
        if (qobject_cast<QFileDialog*>(top)) ++n;
    }
    return n;
}

TEST(IdleCostTest, StartUpMakesNoFileDialogAndOneThread)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const int before = ThreadCount();
    SetUpApplication();
    TToolWindows windows;
    TMainForm& f = windows.Main();
    f.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.SettingsRegistry != nullptr; }, 3000));
    EXPECT_EQ(FileDialogsAndModels(), 0);
    // The threads Qt drew the window with end soon after; the worker stays.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ThreadCount() - before <= 1 + kSanitizerThreads; }, 5000))
        << ThreadCount() - before << " threads more than before the start";

    // First use makes the dialog as the window needs it.
    EXPECT_EQ(f.dlg_saveas, nullptr);
    QFileDialog* save = &CsvSaveDialog(f);
    EXPECT_EQ(save->parent(), &f);
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(f.dlg_saveas, save);
    EXPECT_EQ(&CsvSaveDialog(f), save);
}

} // namespace
