// The PS-Field Configuration window as a user drives it: fields clicked, the
// selection saved, opened and sent, the question before changes are lost.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "setup/PSWin.h"

namespace {

// Answers every message box with the next of the given buttons and keeps its text.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<QMessageBox::StandardButton> answers) : answers_(std::move(answers))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts.push_back(box->windowTitle() + QLatin1Char('|') + box->text());
            const auto answer = next_ < answers_.size() ? answers_[next_++] : QMessageBox::Ok;
            box->done(answer);
        });
        timer_.start(10);
    }
    std::vector<QString> texts;

private:
    std::vector<QMessageBox::StandardButton> answers_;
    size_t next_ = 0;
    QTimer timer_;
};

struct PSWindowUse : ::testing::Test {
    TPSWinForm w;
    QTemporaryDir dir;
    QString chosen;

    void SetUp() override
    {
        w.ResetPSFieldDialog(0);
        w.LocalizePSFieldDialog(0);
        w.ChooseFileToSave = [this] { return chosen; };
        w.ChooseFileToOpen = [this] { return chosen; };
        w.show();
        QApplication::processEvents();
    }
    void TearDown() override { w.hide(); }

    // On the box itself: a click beside a short caption misses the button.
    void Click(int field) { QTest::mouseClick(w.PSFieldCheckBox(field), Qt::LeftButton, {}, QPoint(6, 8)); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray Content(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Write(const QString& path, const QByteArray& bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(PSWindowUse, SaveAsWritesTwelveBytesAndOpenReadsThemBack)
{
    Click(1);
    Click(83);
    EXPECT_EQ(w.GroupBoxPS->title(), QStringLiteral(" PS-Field* "));
    EXPECT_FALSE(w.Button_PSField_SaveToFile->isEnabled());  // no file named yet

    chosen = Path("fields.psf");
    w.Button_PSField_SaveAsToFile->click();
    EXPECT_EQ(Content(chosen), QByteArray::fromHex("010000000000000000000400"));
    EXPECT_EQ(w.GroupBoxPS->title(), QStringLiteral(" PS-Field (") + chosen + QStringLiteral(") "));
    EXPECT_FALSE(w.Button_PSField_SaveToFile->isEnabled());

    // A click on a field of a named file enables Save, which writes the same file.
    Click(2);
    EXPECT_TRUE(w.Button_PSField_SaveToFile->isEnabled());
    w.Button_PSField_SaveToFile->click();
    EXPECT_EQ(Content(chosen), QByteArray::fromHex("030000000000000000000400"));

    w.ResetPSFieldDialog(0);
    EXPECT_FALSE(w.PSFieldCheckBox(1)->isChecked());
    w.Button_PSField_LoadFromFile->click();
    EXPECT_TRUE(w.PSFieldCheckBox(1)->isChecked());
    EXPECT_TRUE(w.PSFieldCheckBox(2)->isChecked());
    EXPECT_TRUE(w.PSFieldCheckBox(83)->isChecked());
    EXPECT_EQ(w.Selection(), (TPsFieldBytes{0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0}));
    EXPECT_FALSE(w.Button_PSField_SaveToFile->isEnabled());
}

TEST_F(PSWindowUse, OpenRefusesFilesThatHoldNoSelection)
{
    Write(Path("short.psf"), QByteArray(11, '\x01'));
    Write(Path("long.psf"), QByteArray::fromHex("00000000000000000000ffff01"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.psf"));
    Click(5);
    const QString before = w.GroupBoxPS->title();

    for (const char* bad : {"short.psf", "missing.psf", "folder.psf"}) {
        SCOPED_TRACE(bad);
        BoxAnswerer boxes({QMessageBox::Ok});
        chosen = Path(bad);
        w.Button_PSField_LoadFromFile->click();
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], QStringLiteral("Open|Requested file ") + chosen + QStringLiteral(" cannot be opened."));
        EXPECT_TRUE(w.PSFieldCheckBox(5)->isChecked());
        EXPECT_EQ(w.GroupBoxPS->title(), before);
    }

    // A longer file is read by its first twelve bytes; only fields 81-83 of byte 10 count.
    chosen = Path("long.psf");
    w.Button_PSField_LoadFromFile->click();
    for (int n = 1; n <= TPSWinForm::PSFieldCount; ++n)
        EXPECT_EQ(w.PSFieldCheckBox(n)->isChecked(), n >= 81) << n;
}

TEST_F(PSWindowUse, SaveThatFailsIsReportedAndKeepsTheChangeMark)
{
    Click(3);
    for (const QString& target : {QStringLiteral("/dev/full"), Path("no-such-folder/x.psf")}) {
        SCOPED_TRACE(target.toStdString());
        BoxAnswerer boxes({QMessageBox::Yes, QMessageBox::Ok});
        chosen = target;
        w.Button_PSField_SaveAsToFile->click();
        ASSERT_FALSE(boxes.texts.empty());
        EXPECT_TRUE(boxes.texts.back().endsWith(QStringLiteral(" cannot be saved."))) << boxes.texts.back().toStdString();
        EXPECT_EQ(w.GroupBoxPS->title(), QStringLiteral(" PS-Field* "));
    }
}

TEST_F(PSWindowUse, SaveAsAsksBeforeReplacingAndShortensDoubleExtensions)
{
    Write(Path("keep.psf"), QByteArray("untouched-bytes"));
    Click(9);
    {
        BoxAnswerer boxes({QMessageBox::No});
        chosen = Path("keep.psf");
        w.Button_PSField_SaveAsToFile->click();
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], QStringLiteral("Save As|") + chosen +
                                      QStringLiteral(" already exist.\nDo you want to replace them?"));
        EXPECT_EQ(Content(chosen), QByteArray("untouched-bytes"));
    }
    // Only the dots of the file name count, not those of its folders.
    QDir(dir.path()).mkdir(QStringLiteral("first.last"));
    const std::pair<const char*, const char*> names[] = {{"a.b.psf", "a.b"},
                                                         {"first.last/x.psf", "first.last/x.psf"},
                                                         {"first.last/x", "first.last/x"},
                                                         {"first.last/a.b.psf", "first.last/a.b"}};
    for (const auto& [typed, saved] : names) {
        BoxAnswerer boxes({});  // none expected: each name is new
        chosen = Path(typed);
        w.Button_PSField_SaveAsToFile->click();
        EXPECT_TRUE(boxes.texts.empty()) << typed;
        EXPECT_EQ(Content(Path(saved)).size(), 12) << typed;
        if (QString::fromLatin1(typed) != QString::fromLatin1(saved)) {
            EXPECT_FALSE(QFile::exists(chosen)) << typed;
        }
    }
}

TEST_F(PSWindowUse, CancelAsksOnlyAboutChanges)
{
    w.Button_PSField_Cancel->click();
    EXPECT_FALSE(w.isVisible());  // unchanged: closes at once

    w.show();
    Click(7);
    {
        // Cancel in the question keeps the window; Yes without a file asks for one.
        BoxAnswerer boxes({QMessageBox::Cancel});
        w.Button_PSField_Cancel->click();
        EXPECT_TRUE(w.isVisible());
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], QStringLiteral("Information|Do you want to save the PS-Field ?"));
    }
    {
        BoxAnswerer boxes({QMessageBox::Yes});
        chosen = Path("on-cancel.psf");
        w.Button_PSField_Cancel->click();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(Content(chosen).size(), 12);
        EXPECT_EQ(w.GroupBoxPS->title(), QStringLiteral(" PS-Field (") + chosen + QStringLiteral(") "));
    }
    Click(8);
    {
        BoxAnswerer boxes({QMessageBox::No});
        w.Button_PSField_Cancel->click();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(Content(chosen), QByteArray::fromHex("400000000000000000000000"));  // field 8 not saved
    }
}

TEST_F(PSWindowUse, LanguageSwitchDropsTheFileNameButKeepsTheFields)
{
    Click(4);
    chosen = Path("named.psf");
    w.Button_PSField_SaveAsToFile->click();
    w.LocalizePSFieldDialog(1);
    EXPECT_EQ(w.GroupBoxPS->title(), QStringLiteral(" PS-Feld "));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PS-Feld-Einstellung"));
    EXPECT_TRUE(w.PSFieldCheckBox(4)->isChecked());
    EXPECT_TRUE(w.PSFieldCheckBox(38)->text().endsWith(QLatin1Char(' ')));
    // The buttons keep their English captions.
    EXPECT_EQ(w.Button_PSField_SaveAsToFile->text(), QStringLiteral("Save As..."));
    EXPECT_EQ(w.Button_PSField_SendToDevice->text(), QStringLiteral("Send To Device"));
    Click(4);
    EXPECT_FALSE(w.Button_PSField_SaveToFile->isEnabled());
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    w.grab().toImage().save(QStringLiteral(SCREENSHOT_DIR "/ps-field-window-de.png"));
}

}  // namespace
