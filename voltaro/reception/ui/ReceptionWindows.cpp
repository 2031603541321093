#include "voltaro/reception/ui/ReceptionWindows.h"

#include "platform/ui/DialogPrompts.h"
#include "voltaro/reception/ui/COfflineReadDialog.h"
#include "voltaro/reception/ui/CSerialOptionsDialog.h"

#include <QPointer>
#include <QWidget>

namespace voltaro {

void InstallReceptionDialogs(ReceptionServices& services, platform::DialogPrompts& prompts,
                             QWidget* mainWindow) {
    QPointer<QWidget> owner(mainWindow);
    const ParserList* parsers = services.parsers;
    platform::DialogPrompts* door = &prompts;
    services.prompts = door;
    services.readOffline = [owner, parsers, door](CDataModule& session,
                                                  platform::PolledPort& port) {
        if (!parsers)
            return false;
        return COfflineReadDialog::Run(session, port, *parsers, *door, owner.data());
    };
    services.editOptions = [owner, door](SerialOptions& options) {
        return CSerialOptionsDialog::Edit(options, *door, owner.data());
    };
}

}  // namespace voltaro
