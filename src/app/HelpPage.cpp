#include "app/MainForm.h"
#include "app/PageBuilders.h"

void BuildHelpPage(TMainForm& f) { (void)f; }
