// Qt's own texts (the standard buttons, the file, print and page set-up
// dialogs) in Italian, as the rest of the interface is, whatever the locale.
#pragma once

// Installs Qt's Italian catalogue (qtbase_it from Qt's translations folder)
// on the running application, once. False when the catalogue is not there:
// the application then runs on with Qt's texts in English.
bool InstallQtItalian();
