#pragma once
// The windows' side of reception: the services the document receiver needs,
// with the offline reading dialog and the options dialog owned by the main
// window.

#include "voltaro/reception/DocumentReceiver.h"

class QWidget;

namespace voltaro {

// Fills in the modal parts: readOffline runs "Read Offline Data" owned by the
// main window; editOptions runs "Options". Set the parsers and the prompts of
// the services first: the dialogs use those.
void InstallReceptionDialogs(ReceptionServices& services, QWidget* mainWindow);

}  // namespace voltaro
