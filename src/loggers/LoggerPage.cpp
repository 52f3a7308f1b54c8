#include "app/MainForm.h"
#include "app/PageBuilders.h"

void BuildLoggerPage(TMainForm& f) { (void)f; }
