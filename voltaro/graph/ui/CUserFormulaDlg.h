#pragma once
// "Define User Formula": the title and the formula of one user calculation,
// buttons that insert numbers, operators, variables and functions, and the list
// of recently used formulas (DEL, USE, ADD). OK writes the list to the settings;
// the caller hands the result to the document.

#include <QDialog>
#include <QRect>
#include <QStringList>

#include <map>
#include <optional>
#include <string>

class QCheckBox;
class QListWidget;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class Prompts;
class SettingsKey;
}  // namespace platform

namespace voltaro {

// Where the dialog was last closed during this run of the program; the caller
// keeps it for the whole run.
struct FormulaDialogPlacement {
    std::optional<QRect> lastRect;
};

class CUserFormulaDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kCaption = "Define User Formula";
    static constexpr const char* kDeleteQuestion = "Are you sure to remove selected formula(s)?";

    // Control ids of the window template.
    enum : int {
        IDC_FORMULA = 1062,
        IDC_RECENT_LIST = 1063,
        IDC_TITLE = 1069,
        IDC_USE_AS_DEFAULT = 1072,
        IDC_RECENT_GROUP = 1120,
        IDC_INSERT_GROUP = 1121,
        IDC_INT_DT = 1067,
    };

    // settingsRoot may be null: no list, no stored rectangle.
    CUserFormulaDlg(const std::string& title, const std::string& formula,
                    const platform::SettingsKey* settingsRoot, platform::Prompts& prompts,
                    FormulaDialogPlacement& placement, QWidget* parent = nullptr);

    // The values OK accepted: the title and the formula on one line.
    const std::string& Title() const { return m_strTitle; }
    const std::string& Formula() const { return m_strFormula; }
    bool UseAsDefault() const;

    QLineEdit* titleEdit() const { return m_title; }
    QPlainTextEdit* formulaEdit() const { return m_formula; }
    QListWidget* recentList() const { return m_list; }
    QCheckBox* defaultCheck() const { return m_useAsDefault; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* useButton() const { return m_use; }
    QPushButton* addButton() const { return m_add; }
    // An insert button by its control id; null for other ids.
    QPushButton* insertButton(int id) const;
    QStringList recentEntries() const;

    // The list buttons.
    void OnDelete();
    void OnUse();
    void OnAdd();

    void accept() override;
    void done(int result) override;

private:
    void BuildInsertButtons(QWidget* group);
    // Replaces the selection of the formula edit; selects `select` characters
    // from `selectFrom` within the text, or puts the caret after it.
    void Insert(const QString& text, int selectFrom = -1, int selectLength = 0);
    // Inserts an entry where the sorted order puts it; returns its row.
    int AddEntry(const QString& entry);
    void UpdateButtons();
    void RestorePosition();

    const platform::SettingsKey* m_settingsRoot;
    platform::Prompts& m_prompts;
    FormulaDialogPlacement& m_placement;

    QLineEdit* m_title = nullptr;
    QPlainTextEdit* m_formula = nullptr;
    QListWidget* m_list = nullptr;
    QCheckBox* m_useAsDefault = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_use = nullptr;
    QPushButton* m_add = nullptr;
    std::map<int, QPushButton*> m_insertButtons;

    std::string m_strTitle;
    std::string m_strFormula;
};

}  // namespace voltaro
