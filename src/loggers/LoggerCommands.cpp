// The three Read buttons of the Logger page: the item count cleaned up, the
// device checked, the CSV file asked for, then the read job started behind
// the modal progress window.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "core/ItemCount.h"
#include "core/JobCodes.h"
#include "core/LoggerCsv.h"
#include "loggers/LoggerHandlers.h"

namespace {

// Progress window ids of one command's reports.
struct ReportIds {
    int noDevice, noAnswer, started, notConnected;
};

struct ReadCommand {
    QComboBox* LoggerControls::*countBox;
    int maxChars;
    QCheckBox* LoggerControls::*saveBox;
    CsvLogger logger;
    uint8_t mbusJob, modbusJob;  // 0: the transport has no such read
    ReportIds ids;
};

constexpr int kDemandCap = 16000;
constexpr int kLargeDemandCap = 168000;
constexpr int kEventsCap = 256;
constexpr int kCertifiedCap = 4000;
constexpr uint8_t kLargeLoggerVariant = 2;

constexpr ReadCommand kDemandRead{&LoggerControls::ComboBox_Demand, 6, &LoggerControls::CheckBox_Demand_SaveToFile,
                                  CsvLogger::Demand, jcMBusDemandLogger, jcModbusDemandLogger, {42, 43, 44, 46}};
constexpr ReadCommand kEventsRead{&LoggerControls::ComboBox_Events, 3, &LoggerControls::CheckBox_Events_SaveToFile,
                                  CsvLogger::Events, jcMBusEventsLogger, jcModbusEventsLogger, {50, 51, 53, 55}};
constexpr ReadCommand kCertifiedRead{&LoggerControls::ComboBox_Certified, 6,
                                     &LoggerControls::CheckBox_Certified_SaveToFile, CsvLogger::Certified, 0,
                                     jcModbusCertifiedLogger, {142, 143, 144, 146}};

int CapOf(const TMainForm& f, const ReadCommand& c)
{
    switch (c.logger) {
    case CsvLogger::Demand: return f.DeviceVariant == kLargeLoggerVariant ? kLargeDemandCap : kDemandCap;
    case CsvLogger::Events: return kEventsCap;
    case CsvLogger::Certified: break;
    }
    return kCertifiedCap;
}

void ReportError(TMainForm& f, int id, const LangText& text)
{
    ProgrWinForm->ShowProgress(id, 1, 0, 0, 0, 1, Txt(TxtError, f.Language), Txt(text, f.Language), QString(),
                               QString(), QString(), Txt(TxtOk, f.Language), 0);
}

QString ChooseWithDialog(TMainForm& f)
{
    QFileDialog& d = CsvSaveDialog(f);
    d.setNameFilter(Txt(TxtCsvFileFilter, f.Language));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().constFirst();
}

void ReadLogger(TMainForm& f, const ReadCommand& c)
{
    QComboBox* box = f.*c.countBox;
    const std::string count = CleanItemCount(box->currentText().toStdString(), static_cast<size_t>(c.maxChars),
                                              CapOf(f, c));
    box->setCurrentText(QString::fromStdString(count));

    if (!DeviceIdentified(f)) {
        ReportError(f, c.ids.noDevice, TxtNoDeviceConnected);
        return;
    }
    if ((f.*c.saveBox)->isChecked() && !AskCsvFile(f, c.logger)) return;
    if (f.PortOpen == 0 && f.TcpConnected == 0) {
        ReportError(f, c.ids.notConnected, TxtDeviceNotAvailable);
        f.DisconnectDevice();
        return;
    }
    if (!DeviceIdentified(f)) {
        ReportError(f, c.ids.noAnswer, TxtNoAnswerFromDevice);
        return;
    }
    const uint8_t job = f.TransportCode == tcMBus ? c.mbusJob : c.modbusJob;
    if (job == 0) {
        // No runner carries this read over M-Bus: nothing would ever answer.
        ReportError(f, c.ids.notConnected, TxtDeviceNotAvailable);
        return;
    }
    f.SetJob(job, ProgrWinForm->WindowToShow());
    ProgrWinForm->ShowProgress(c.ids.started, 0, 1, 0, 0, 1, QString(), Txt(TxtDataReading, f.Language), QString(),
                               QString(), QString(), Txt(TxtCancel, f.Language), std::stoi(count));
}

// Digits and the editing keys only.
void AcceptDigitsOnly(QComboBox* box)
{
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
}

} // namespace

bool DeviceIdentified(const TMainForm& f)
{
    const QString address = f.Label_DeviceAddress->text();
    return !address.isEmpty() && address != Txt(TxtNoValue, f.Language);
}

QFileDialog& CsvSaveDialog(TMainForm& f)
{
    if (!f.dlg_saveas) {
        f.dlg_saveas = new QFileDialog(&f);
        f.dlg_saveas->setObjectName(QStringLiteral("dlg_saveas"));
    }
    QFileDialog& d = *f.dlg_saveas;
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setDefaultSuffix(QStringLiteral("CSV"));
    // The command asks about the file that will really be written.
    d.setOption(QFileDialog::DontConfirmOverwrite, true);
    return d;
}

QString CsvTargetFile(const TMainForm& f, CsvLogger logger)
{
    const std::string& name = logger == CsvLogger::Events ? f.CsvFileName : f.CsvDialogFileName;
    return QString::fromStdString(CsvFileNameWithExtension(name));
}

bool AskCsvFile(TMainForm& f, CsvLogger logger)
{
    const QString chosen = f.ChooseCsvFile ? f.ChooseCsvFile() : ChooseWithDialog(f);
    if (chosen.isEmpty()) return false;
    f.CsvDialogFileName = chosen.toStdString();
    f.CsvFileName = CommandCsvFileName(f.CsvDialogFileName);
    const QString target = CsvTargetFile(f, logger);
    if (!QFileInfo::exists(target)) return true;
    return QMessageBox::question(&f, Txt(TxtSaveAs, f.Language), target + Txt(TxtAlreadyExistReplace, f.Language),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TMainForm::Button_Demand_ReadClick() { ReadLogger(*this, kDemandRead); }
void TMainForm::Button_Events_ReadClick() { ReadLogger(*this, kEventsRead); }
void TMainForm::Button_Certified_ReadClick() { ReadLogger(*this, kCertifiedRead); }

void ConnectLoggerCommands(TMainForm& f)
{
    ConnectClick(f.Button_Demand_Read, [&f] { f.Button_Demand_ReadClick(); });
    ConnectClick(f.Button_Events_Read, [&f] { f.Button_Events_ReadClick(); });
    ConnectClick(f.Button_Certified_Read, [&f] { f.Button_Certified_ReadClick(); });
    for (QComboBox* box : {f.ComboBox_Demand, f.ComboBox_Events, f.ComboBox_Certified}) AcceptDigitsOnly(box);
}
