#pragma once
// Menu entries of the reception commands as the windows show them: the menu
// text, the status-bar text ("prompt\ntooltip" where the command has a
// toolbar tip) and the keyboard shortcut. The handlers are the document's
// (DocumentReceiver, the raw-text import) and the project tree's (export).

#include "voltaro/model/CDataBlock.h"
#include "voltaro/reception/DocumentReceiver.h"
#include "voltaro/reception/TextTransfer.h"

#include <string_view>

namespace voltaro {

struct ReceptionCommandText {
    unsigned id;
    std::string_view menu;
    std::string_view status;
    std::string_view accelerator;  // empty: none
};

inline constexpr std::string_view kExportSubMenu = "E&xport Selected";
inline constexpr std::string_view kImportSubMenu = "&Import";

inline constexpr ReceptionCommandText kReceptionCommands[] = {
    {ID_SERIAL_SNOOPING, "Serial &Port S&nooping",
     "Receive data on background, create online sessions automatically", ""},
    {ID_ONLINE_CREATE, "Create &Online Session", "Insert new section and initiate online receiver",
     "Ctrl+Shift+R"},
    {ID_ONLINE_ABORT, "&Abort Online Session", "Abort receiving of an online session",
     "Ctrl+Shift+A"},
    {ID_DATA_OFFLINE, "O&ffline Data", "Download Offline data\nOffline Data", "Ctrl+R"},
    {ID_APP_SETTINGS, "&Settings...", "Application settings\nApplication Settings", ""},
    {ID_IMPORT_RAW_TEXT, "&Raw Text File...",
     "Import existing raw-text file into current project\nImport.", ""},
    {ID_EXPORT_TRANSLATED, "Translated data to text...", "Export selected data block(s) to a file.",
     ""},
    {ID_EXPORT_RAW, "Raw data to text...", "Export selected data block(s) to a file.", ""},
};

// The entry of a command id; null for another command.
constexpr const ReceptionCommandText* FindReceptionCommand(unsigned id) {
    for (const ReceptionCommandText& c : kReceptionCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

}  // namespace voltaro
