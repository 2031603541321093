#include "voltaro/reception/ui/ReceptionWindows.h"

#include "voltaro/reception/ui/COfflineReadDialog.h"
#include "voltaro/reception/ui/CSerialOptionsDialog.h"

#include <QPointer>
#include <QWidget>

namespace voltaro {

void InstallReceptionDialogs(ReceptionServices& services, QWidget* mainWindow) {
    QPointer<QWidget> owner(mainWindow);
    const ParserList* parsers = services.parsers;
    platform::Prompts* prompts = services.prompts;
    services.readOffline = [owner, parsers, prompts](CDataModule& session,
                                                     platform::PolledPort& port) {
        if (!parsers || !prompts)
            return false;
        return COfflineReadDialog::Run(session, port, *parsers, *prompts, owner.data());
    };
    services.editOptions = [owner](SerialOptions& options) {
        return CSerialOptionsDialog::Edit(options, owner.data());
    };
}

}  // namespace voltaro
