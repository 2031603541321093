#pragma once
// What the formula dialog keeps and changes outside itself: the text rules of
// the formula edit and of the recently-used list, the settings values (the
// list, the defaults for the next start, the dialog's rectangle) and the
// document operation that takes a new formula.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class SettingsKey;
}

namespace voltaro {

class CMainDoc;

inline constexpr const char* kMainWndKeyPath = "Software\nTarnwell\nVoltaro\nMainWnd";
inline constexpr const char* kRecentFormulasValue = "MRU_Formulas_User";
inline constexpr const char* kFormulaDialogPosValue = "FormulaDlgPos";
// The caption of a recently-used entry without a title.
inline constexpr std::string_view kUntitledFormula = "Untitled";

// The formula as the multi-line edit shows it: tabs become blanks, every ";"
// ends a line, a blank right after a line break is dropped.
std::string FormulaForEdit(std::string_view formula);
// The formula as stored: line breaks (CR LF, CR, LF) and tabs become blanks.
std::string FormulaFromEdit(std::string_view text);

// "title:\tformula" ("Untitled" for an empty title).
std::string RecentFormulaEntry(std::string_view title, std::string_view formula);
struct RecentFormulaParts {
    std::optional<std::string> title;  // none: the entry had no tab
    std::string formula;
};
// Splits at the first tab; the title loses its trailing colons.
RecentFormulaParts SplitRecentFormulaEntry(std::string_view entry);

// The recently-used formulas below the root; empty without a root.
std::vector<std::string> ReadRecentFormulas(const platform::SettingsKey* root);
bool WriteRecentFormulas(const platform::SettingsKey* root, const std::vector<std::string>& list);

// The dialog's rectangle: left, top, right, bottom.
using DialogRect = std::array<std::int32_t, 4>;
// Nothing when missing, not 16 bytes, or empty.
std::optional<DialogRect> ReadFormulaDialogRect(const platform::SettingsKey* root);
bool WriteFormulaDialogRect(const platform::SettingsKey* root, const DialogRect& rect);

// Formula n (1 or 2) of the document.
const std::string& UserFormula(const CMainDoc& doc, int nFormula);
const std::string& UserFormulaTitle(const CMainDoc& doc, int nFormula);

// The document takes formula n and its title; with bAsDefault they are also
// stored as the defaults of the next program start. The views get HINT_FORMULAS.
void SetUserFormula(CMainDoc& doc, int nFormula, const std::string& title,
                    const std::string& formula, bool bAsDefault);

}  // namespace voltaro
