#pragma once
// Builders of the main window's component tree, one per page. Each creates its
// components with their object names and positions and stores them in the
// members of the same name.
class TMainForm;

void BuildMainFrame(TMainForm& f);       // PageControl_Main, indicators, window-wide parts
void BuildMeasurementPage(TMainForm& f); // Page_Measurement
void BuildEnergyPage(TMainForm& f);      // Page_Energy and its sub-pages
void BuildLoggerPage(TMainForm& f);      // Page_Logger and its sub-pages
void BuildSetupPage(TMainForm& f);       // Page_Setup
void BuildHelpPage(TMainForm& f);        // Page_Help
