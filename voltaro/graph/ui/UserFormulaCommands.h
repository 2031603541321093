#pragma once
// Commands 1106 "User Calculation 1..." and 1107 "User Calculation 2...": the
// document opens the formula dialog on its formula and title, and OK hands the
// result back to it (the defaults for the next start, HINT_FORMULAS).

class QWidget;

namespace platform {
class DialogPrompts;
}

namespace voltaro {

class CMainDoc;
struct FormulaDialogPlacement;

enum : unsigned {
    ID_USER_CALCULATION_1 = 1106,
    ID_USER_CALCULATION_2 = 1107,
};

// What the commands need of the running program.
struct FormulaDialogHost {
    platform::DialogPrompts& prompts;   // the dialog's messages and its modal run
    FormulaDialogPlacement& placement;  // kept by the caller for the program run
    QWidget* parent = nullptr;
};

// True when nID is one of the two commands (handled, whatever the user chose).
bool OnUserCalculationCommand(CMainDoc& doc, unsigned nID, FormulaDialogHost& host);

}  // namespace voltaro
