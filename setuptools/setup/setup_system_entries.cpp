// Program groups, INI and registry entries and ODBC data sources: until they are built each finds no section.
#include "setuptools/setup/setup_app.h"

bool CSetupApp::MarkExistingItems() { return false; }
bool CSetupApp::CreateProgramGroups() { return false; }
bool CSetupApp::WriteIniFiles() { return false; }
bool CSetupApp::WriteRegistry() { return false; }
// Without [ODBC Data Sources] there is nothing to fail.
bool CSetupApp::InstallOdbc() { return true; }
