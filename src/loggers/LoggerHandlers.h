#pragma once
// Wiring of the Logger page: the read commands, the grids, the CSV files and
// the result actions of the logger reads and the demand interval read.
#include <QEvent>
#include <QString>
#include <functional>

#include "core/LoggerCsv.h"

class QFileDialog;
class QWidget;
class TMainForm;

// Binds every handler of the Logger page and registers the logger result
// actions; once, from the main window's constructor.
void ConnectLoggerHandlers(TMainForm& f);

// The parts, each in its own file.
void ConnectLoggerGrids(TMainForm& f);     // loggers/LoggerGrids.cpp
void ConnectLoggerCommands(TMainForm& f);  // loggers/LoggerCommands.cpp
void ConnectIntervalRead(TMainForm& f);    // loggers/IntervalRead.cpp
void RegisterLoggerResults(TMainForm& f);  // loggers/LoggerResults.cpp

// Runs handler on every event of that kind the widget gets. Presses and
// releases count for the left button only, a release only over the widget.
void OnMouseEvent(QWidget* w, QEvent::Type kind, std::function<void()> handler);

// The device address label names a device (neither empty nor "- -").
bool DeviceIdentified(const TMainForm& f);

// The save dialog of the CSV files, made on first use.
QFileDialog& CsvSaveDialog(TMainForm& f);
// Asks for the CSV file of a read (the dialog, or ChooseCsvFile where set) and,
// when that file exists, whether to replace it. False when the user cancels
// or says no; otherwise CsvDialogFileName and CsvFileName hold the choice.
bool AskCsvFile(TMainForm& f, CsvLogger logger);
// The file the logger's writer creates from the names chosen last.
QString CsvTargetFile(const TMainForm& f, CsvLogger logger);
