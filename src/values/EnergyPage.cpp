#include "app/MainForm.h"
#include "app/PageBuilders.h"

void BuildEnergyPage(TMainForm& f) { (void)f; }
