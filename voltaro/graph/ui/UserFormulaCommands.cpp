#include "voltaro/graph/ui/UserFormulaCommands.h"

#include "platform/ui/DialogPrompts.h"
#include "voltaro/graph/UserFormulaStore.h"
#include "voltaro/graph/ui/CUserFormulaDlg.h"
#include "voltaro/model/CMainDoc.h"

namespace voltaro {

bool OnUserCalculationCommand(CMainDoc& doc, unsigned nID, FormulaDialogHost& host) {
    if (nID != ID_USER_CALCULATION_1 && nID != ID_USER_CALCULATION_2)
        return false;
    const int n = nID == ID_USER_CALCULATION_1 ? 1 : 2;
    CUserFormulaDlg dlg(UserFormulaTitle(doc, n), UserFormula(doc, n), doc.Services().settingsRoot,
                        host.prompts, host.placement, host.parent);
    if (host.prompts.runModal(dlg) == QDialog::Accepted)
        SetUserFormula(doc, n, dlg.Title(), dlg.Formula(), dlg.UseAsDefault());
    return true;
}

}  // namespace voltaro
