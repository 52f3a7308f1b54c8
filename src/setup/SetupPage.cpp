#include "app/MainForm.h"
#include "app/PageBuilders.h"

void BuildSetupPage(TMainForm& f) { (void)f; }
