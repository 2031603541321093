#pragma once
// Commands 1106 "User Calculation 1..." and 1107 "User Calculation 2...": the
// document opens the formula dialog on its formula and title, and OK hands the
// result back to it (the defaults for the next start, HINT_FORMULAS).

#include <functional>

class QWidget;

namespace platform {
class Prompts;
}

namespace voltaro {

class CMainDoc;
class CUserFormulaDlg;
struct FormulaDialogPlacement;

enum : unsigned {
    ID_USER_CALCULATION_1 = 1106,
    ID_USER_CALCULATION_2 = 1107,
};

// What the commands need of the running program.
struct FormulaDialogHost {
    platform::Prompts& prompts;
    FormulaDialogPlacement& placement;  // kept by the caller for the program run
    QWidget* parent = nullptr;
    // Shows the dialog and returns its result; empty: exec(). Tests drive the
    // dialog here instead of a modal loop.
    std::function<int(CUserFormulaDlg&)> run = {};
};

// True when nID is one of the two commands (handled, whatever the user chose).
bool OnUserCalculationCommand(CMainDoc& doc, unsigned nID, FormulaDialogHost& host);

}  // namespace voltaro
