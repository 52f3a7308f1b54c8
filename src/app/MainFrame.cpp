#include "app/MainForm.h"
#include "app/PageBuilders.h"

void BuildMainFrame(TMainForm& f) { (void)f; }
