#include "voltaro/graph/UserFormulaStore.h"

#include "platform/settings/SettingsStore.h"
#include "voltaro/model/CMainDoc.h"

#include <cstring>

namespace voltaro {
namespace {

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = s.find(from, pos);
        if (hit == std::string::npos)
            break;
        out.append(s, pos, hit - pos);
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s, pos, std::string::npos);
    s = std::move(out);
}

std::optional<platform::SettingsKey> openForRead(const platform::SettingsKey* root,
                                                 const char* path) {
    if (!root)
        return std::nullopt;
    return platform::OpenKeyPath(path, *root, platform::KeyAccess::Read);
}

std::optional<platform::SettingsKey> openForWrite(const platform::SettingsKey* root,
                                                  const char* path) {
    if (!root)
        return std::nullopt;
    return platform::CreateKeyPath(path, *root);
}

}  // namespace

std::string FormulaForEdit(std::string_view formula) {
    std::string s(formula);
    replaceAll(s, "\t", " ");
    replaceAll(s, ";", ";\n");
    replaceAll(s, "\n ", "\n");
    return s;
}

std::string FormulaFromEdit(std::string_view text) {
    std::string s(text);
    replaceAll(s, "\r\n", " ");
    replaceAll(s, "\r", " ");
    replaceAll(s, "\n", " ");
    replaceAll(s, "\t", " ");
    return s;
}

std::string RecentFormulaEntry(std::string_view title, std::string_view formula) {
    std::string entry(title.empty() ? kUntitledFormula : title);
    entry += ":\t";
    entry += formula;
    return entry;
}

RecentFormulaParts SplitRecentFormulaEntry(std::string_view entry) {
    RecentFormulaParts parts;
    const std::size_t tab = entry.find('\t');
    if (tab == std::string_view::npos) {
        parts.formula.assign(entry);
        return parts;
    }
    std::string_view title = entry.substr(0, tab);
    while (!title.empty() && title.back() == ':')
        title.remove_suffix(1);
    parts.title.emplace(title);
    parts.formula.assign(entry.substr(tab + 1));
    return parts;
}

std::vector<std::string> ReadRecentFormulas(const platform::SettingsKey* root) {
    const auto key = openForRead(root, CMainDoc::kOptionsKeyPath);
    if (!key)
        return {};
    return platform::ReadStringList(*key, kRecentFormulasValue);
}

bool WriteRecentFormulas(const platform::SettingsKey* root, const std::vector<std::string>& list) {
    const auto key = openForWrite(root, CMainDoc::kOptionsKeyPath);
    return key && platform::WriteStringList(*key, kRecentFormulasValue, list);
}

std::optional<DialogRect> ReadFormulaDialogRect(const platform::SettingsKey* root) {
    const auto key = openForRead(root, kMainWndKeyPath);
    if (!key)
        return std::nullopt;
    unsigned char bytes[16];
    std::size_t size = 0;
    if (!platform::ReadBinary(*key, kFormulaDialogPosValue, bytes, sizeof bytes, &size) ||
        size != sizeof bytes)
        return std::nullopt;
    DialogRect rect{};
    for (std::size_t k = 0; k < 4; ++k) {
        std::uint32_t v = 0;
        for (std::size_t b = 0; b < 4; ++b)
            v |= static_cast<std::uint32_t>(bytes[k * 4 + b]) << (8 * b);
        rect[k] = static_cast<std::int32_t>(v);
    }
    // Widths are computed in 64 bits: stored numbers may be anything.
    if (static_cast<std::int64_t>(rect[2]) - rect[0] <= 0 ||
        static_cast<std::int64_t>(rect[3]) - rect[1] <= 0)
        return std::nullopt;
    return rect;
}

bool WriteFormulaDialogRect(const platform::SettingsKey* root, const DialogRect& rect) {
    const auto key = openForWrite(root, kMainWndKeyPath);
    if (!key)
        return false;
    unsigned char bytes[16];
    for (std::size_t k = 0; k < 4; ++k) {
        const auto v = static_cast<std::uint32_t>(rect[k]);
        for (std::size_t b = 0; b < 4; ++b)
            bytes[k * 4 + b] = static_cast<unsigned char>(v >> (8 * b));
    }
    return platform::WriteBinary(*key, kFormulaDialogPosValue, bytes, sizeof bytes);
}

const std::string& UserFormula(const CMainDoc& doc, int nFormula) {
    return nFormula == 2 ? doc.m_strFormula2 : doc.m_strFormula1;
}

const std::string& UserFormulaTitle(const CMainDoc& doc, int nFormula) {
    return nFormula == 2 ? doc.m_strTitle2 : doc.m_strTitle1;
}

void SetUserFormula(CMainDoc& doc, int nFormula, const std::string& title,
                    const std::string& formula, bool bAsDefault) {
    const bool second = nFormula == 2;
    (second ? doc.m_strFormula2 : doc.m_strFormula1) = formula;
    (second ? doc.m_strTitle2 : doc.m_strTitle1) = title;
    if (bAsDefault) {
        if (const auto key = openForWrite(doc.Services().settingsRoot, CMainDoc::kOptionsKeyPath)) {
            platform::WriteString(*key, second ? "Formula_User2" : "Formula_User1", formula);
            platform::WriteString(*key, second ? "Formula_User2t" : "Formula_User1t", title);
        }
    }
    doc.UpdateAllViews(nullptr, HINT_FORMULAS);
}

}  // namespace voltaro
