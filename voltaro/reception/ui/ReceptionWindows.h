#pragma once
// The windows' side of reception: the services the document receiver needs,
// with the offline reading dialog and the options dialog owned by the main
// window.

#include "voltaro/reception/DocumentReceiver.h"

class QWidget;

namespace platform {
class DialogPrompts;
}

namespace voltaro {

// Fills in the modal parts: readOffline runs "Read Offline Data" owned by the
// main window; editOptions runs "Options". Both run through prompts, which also
// become the services' prompts. Set the parsers of the services first: the
// offline dialog uses those.
void InstallReceptionDialogs(ReceptionServices& services, platform::DialogPrompts& prompts,
                             QWidget* mainWindow);

}  // namespace voltaro
