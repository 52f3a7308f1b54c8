#include "app/MainForm.h"
#include "app/PageBuilders.h"

void BuildMeasurementPage(TMainForm& f) { (void)f; }
