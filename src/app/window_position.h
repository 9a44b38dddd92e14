// Settings folder and the file that remembers where the main window stood.
#pragma once

// Fills a 260-character buffer with the shared application-data folder
// followed by "\Keldane\Keldane Mirravox", creating both levels.
void BuildSettingsFolder(char* folder);
int LoadWindowPosition();
int SaveWindowPosition();
