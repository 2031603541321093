#include "voltaro/model/CDataBlock.h"

#include "voltaro/model/CDataModule.h"
#include "voltaro/model/ItemDocument.h"
#include "voltaro/model/ItemEnvironment.h"

#include "platform/core/TextCodec.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace voltaro {

namespace {

const char* const kLineTypeTexts[] = {
    "Thin Solid", "Dash", "Dot", "Dash-Dot", "Dash-Dot-Dot", "Medium Solid", "Thick Solid",
};

// printf-style number formatting without the locale: files always use ".".
void appendNumber(std::string& out, double value, std::chars_format format, int precision) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    out.append(buffer, result.ptr);
}

}  // namespace

const char* LineTypeMenuText(int nLineType) {
    if (nLineType < 0 || nLineType >= static_cast<int>(std::size(kLineTypeTexts)))
        return nullptr;
    return kLineTypeTexts[nLineType];
}

CDataBlock::CDataBlock() = default;

std::string CDataBlock::CreatedText(const QDateTime& when) {
    return platform::fromQt(QLocale::system().toString(when, QLocale::ShortFormat));
}
CDataBlock::~CDataBlock() = default;

CDataModule* CDataBlock::GetSession() const {
    for (CViewTreeItem* p = m_pParent; p; p = p->m_pParent) {
        if (auto* session = dynamic_cast<CDataModule*>(p))
            return session;
    }
    return nullptr;
}

ItemDocument* CDataBlock::GetDocument() const {
    const CDataModule* session = GetSession();
    return session ? session->m_pDocument : nullptr;
}

void CDataBlock::Notify(int lHint, DocumentView* pSender) {
    CDataModule* session = GetSession();
    if (session && session->m_pDocument)
        session->m_pDocument->UpdateAllViews(pSender, lHint, this);
}

void CDataBlock::MarkModified() {
    CDataModule* session = GetSession();
    if (session && session->m_pDocument)
        session->m_pDocument->SetModifiedFlag();
}

void CDataBlock::SetName(const std::string& strName, bool bUpdate, DocumentView* pSender) {
    m_strName = strName;
    m_bAutoNamed = false;
    if (bUpdate)
        Notify(HINT_BLOCK_CHANGED, pSender);
    MarkModified();
}

std::string CDataBlock::GetQualifiedName() const {
    const CDataModule* session = GetSession();
    if (!session)
        return m_strName;
    return session->m_strName + "." + m_strName;
}

bool CDataBlock::SetSelected(bool bSelected, bool bUpdate, DocumentView* pSender) {
    if (m_bSelected == bSelected)
        return false;
    m_bSelected = bSelected;
    if (bUpdate)
        Notify(HINT_BLOCK_CHANGED, pSender);
    MarkModified();
    return true;
}

int CDataBlock::Export(QIODevice& file, unsigned nCmd) const {
    if (nCmd != ID_EXPORT_TRANSLATED && nCmd != ID_EXPORT_RAW)
        return 1;
    std::string out;
    if (nCmd == ID_EXPORT_TRANSLATED) {
        out.reserve(128 + m_samples.size() * 64);
        out += "#####################################\r\n# Name:        ";
        out += m_strName;
        out += "\r\n# Date:        ";
        out += m_strCreated;
        out += "\r\n# Data Count:  ";
        out += std::to_string(m_samples.size());
        out += "\r\n#\r\nT [s]\tU [V]\tI [A]\tC [Ah]\tE [Wh]\tR [rpm]\r\n";
        for (const DataSample& s : m_samples) {
            appendNumber(out, s.T, std::chars_format::general, 6);
            for (float v : {s.U, s.I, s.C, s.E, s.R}) {
                out += '\t';
                appendNumber(out, v, std::chars_format::fixed, 3);
            }
            out += "\r\n";
        }
        out += "\r\n\r\n";
    } else {
        out.reserve(8 + m_strInfo.size() + m_samples.size() * 40);
        out += "\r\n";
        out += m_strInfo;
        out += "\r\n";
        for (const DataSample& s : m_samples) {
            out += s.Text();
            out += "\r\n";
        }
        out += "\r\n";
    }
    const qint64 written = file.write(out.data(), static_cast<qint64>(out.size()));
    return written == static_cast<qint64>(out.size()) ? 0 : 2;
}

bool CDataBlock::OnCommand(unsigned nID) {
    if (nID >= ID_COLOR_INTENSITY_10 && nID <= ID_COLOR_INTENSITY_100)
        m_nColorIntensity = static_cast<int>(nID - ID_COLOR_INTENSITY_10 + 1) * 10;
    else if (nID == ID_COLOR_INTENSITY_AUTO)
        m_nColorIntensity = -1;
    else if (nID >= ID_LINE_TYPE_FIRST && nID <= ID_LINE_TYPE_LAST)
        m_nLineType = static_cast<int>(nID - ID_LINE_TYPE_FIRST);
    else if (nID == ID_LINE_TYPE_AUTO)
        m_nLineType = -1;
    else
        return false;
    // A style change only redraws; it does not count as an edit of the project.
    Notify(HINT_BLOCK_STYLE, nullptr);
    return true;
}

bool CDataBlock::OnUpdateCommand(unsigned nID, CommandState& state) const {
    if (nID >= ID_COLOR_INTENSITY_10 && nID <= ID_COLOR_INTENSITY_100)
        state.bChecked =
            static_cast<int>(nID - ID_COLOR_INTENSITY_10 + 1) * 10 == m_nColorIntensity;
    else if (nID == ID_COLOR_INTENSITY_AUTO)
        state.bChecked = m_nColorIntensity < 0;
    else if (nID >= ID_LINE_TYPE_FIRST && nID <= ID_LINE_TYPE_LAST)
        state.bChecked = static_cast<int>(nID - ID_LINE_TYPE_FIRST) == m_nLineType;
    else if (nID == ID_LINE_TYPE_AUTO)
        state.bChecked = m_nLineType < 0;
    else
        return false;
    state.bEnabled = true;
    return true;
}

float CDataBlock::GetDuration() const {
    return m_samples.empty() ? 0.0f : m_samples.back().T;
}

const DataSample* CDataBlock::IndexAtTime(float t, int* pIndex) const {
    if (m_samples.empty())
        return nullptr;
    const int last = GetCount() - 1;
    int i = 0;
    while (i < last && !(m_samples[static_cast<std::size_t>(i)].T >= t))
        ++i;
    if (pIndex)
        *pIndex = i;
    return &m_samples[static_cast<std::size_t>(i)];
}

int CDataBlock::GetStartIndex() const {
    return m_nStartIndex < 0 ? 0 : m_nStartIndex;
}

int CDataBlock::GetEndIndex() const {
    if (m_nEndIndex >= 0)
        return m_nEndIndex;
    const ItemEnvironment* env = EnvironmentOf(*this);
    if (env && env->flags.bMaxUAsEnd)
        return GetMaxUIndex();
    return GetCount() - 1;
}

int CDataBlock::GetMaxUIndex() const {
    if (m_nMaxUIndex >= 0)
        return m_nMaxUIndex;
    int best = 0;
    for (int i = 1; i < GetCount(); ++i) {
        if (m_samples[static_cast<std::size_t>(i)].U > m_samples[static_cast<std::size_t>(best)].U)
            best = i;
    }
    m_nMaxUIndex = best;
    return best;
}

const DataSample* CDataBlock::IndexAtPercent(double p, int* pIndex) const {
    if (m_samples.empty())
        return nullptr;
    const int s = GetStartIndex();
    const int e = GetEndIndex();
    // Clamped as a double first: a wild percentage must not overflow the int.
    double index = s + std::trunc(static_cast<double>(e - s) * p * 0.01 + 0.5);
    const double last = GetCount() - 1;
    if (!(index >= 0.0))
        index = 0.0;
    else if (index > last)
        index = last;
    const int i = static_cast<int>(index);
    if (pIndex)
        *pIndex = i;
    return &m_samples[static_cast<std::size_t>(i)];
}

double CDataBlock::PercentAtIndex(int i) const {
    const int s = GetStartIndex();
    const int e = GetEndIndex();
    if (s == e) {
        const int last = GetCount() - 1;
        // A single sample (or none) has no extent: it sits at 0 %.
        if (last <= 0)
            return 0.0;
        return i * 100.0 / last;
    }
    return (i - s) * 100.0 / (e - s);
}

void CDataBlock::SetPercentLimit(int index, bool bEnd) {
    const int last = GetCount() - 1;
    if (index < 0)
        index = -1;
    else if (index > last)
        index = last;
    (bEnd ? m_nEndIndex : m_nStartIndex) = index;
}

void CDataBlock::AppendSample(const DataSample& sample, std::string_view line, bool bOnline) {
    // Rectangle rule in single precision: the new sample's U and I hold for the
    // whole interval since the previous one (or since T = 0 for the first).
    constexpr float k = 1.0f / 3600.0f;
    const std::size_t n = m_samples.size();
    DataSample s = sample;
    if (n == 0) {
        s.C = s.I * s.T * k;
        s.E = s.U * s.I * s.T * k;
    } else {
        const DataSample& prev = m_samples.back();
        const float dT = s.T - prev.T;
        s.C = prev.C + dT * s.I * k;
        s.E = prev.E + dT * s.U * s.I * k;
    }
    s.SetText(line);
    s.reserved = 0;
    m_samples.push_back(s);
    m_nMaxUIndex = -1;

    if (!m_bAnnounced && HasProtocolEditor(*this)) {
        m_bAnnounced = true;
        std::string entry = bOnline ? "Online" : "Offline";
        entry += " Data block ";
        if (!m_strDevice.empty())
            entry += "from " + m_strDevice;
        entry += " created %1";
        AddProtocolEntry(*this, entry);
    }

    if (bOnline) {
        // Offline reading marks the project once, with its session; a live charge
        // may go on for hours after the last save.
        MarkModified();
        if (const ItemEnvironment* env = EnvironmentOf(*this); env && env->showOnlineData)
            env->showOnlineData(*this);
        if (n <= 2)
            Notify(HINT_BLOCK_DATA, nullptr);
        else if (m_bSelected)
            RequestRefresh(*this);
    }
}

}  // namespace voltaro
