#pragma once
// A data block: one recorded run of a charger or measuring device as a series of
// samples, with the quantities it derives itself (charge, energy, the normalised
// range, the index of maximal voltage) and its chart attributes.

#include "voltaro/model/CDataItem.h"
#include "voltaro/model/DataSample.h"

#include <QDateTime>
#include <QIODevice>

#include <string>
#include <string_view>
#include <vector>

namespace voltaro {

class CDataModule;
class CProtParser;

// Commands a block answers (tree and graph context menus, export).
enum BlockCommand : unsigned {
    ID_EXPORT_TRANSLATED = 30053,
    ID_EXPORT_RAW = 30054,
    ID_COLOR_INTENSITY_10 = 32828,  // .. ID_COLOR_INTENSITY_100 in steps of 10 %
    ID_COLOR_INTENSITY_100 = 32837,
    ID_LINE_TYPE_FIRST = 32838,  // line type 0 ("Thin Solid")
    ID_LINE_TYPE_LAST = 32850,   // line type 12; the menu offers 0..6
    ID_COLOR_INTENSITY_AUTO = 32870,
    ID_LINE_TYPE_AUTO = 32871,
};

// Menu text of line types 0..6, null for other values.
const char* LineTypeMenuText(int nLineType);

class CDataBlock : public CDataItem {
public:
    CDataBlock();
    ~CDataBlock() override;

    const std::string& GetName() const override { return m_strName; }
    int GetImageIndex() const override { return 2; }
    int GetMenuIndex() const override { return 2; }
    // Stores the name and clears m_bAutoNamed; notifies the views
    // (HINT_BLOCK_CHANGED) when bUpdate is set; marks the document modified.
    void SetName(const std::string& strName, bool bUpdate, DocumentView* pSender) override;

    // "<session name>.<block name>"
    virtual std::string GetQualifiedName() const;
    virtual bool IsSelected() const { return m_bSelected; }
    // Returns false and does nothing when the value is unchanged.
    virtual bool SetSelected(bool bSelected, bool bUpdate, DocumentView* pSender);
    // Writes the block as translated (ID_EXPORT_TRANSLATED) or raw
    // (ID_EXPORT_RAW) text. Returns 0 on success, non-zero for another command
    // or when the file refused the bytes.
    virtual int Export(QIODevice& file, unsigned nCmd) const;

    bool OnCommand(unsigned nID) override;
    bool OnUpdateCommand(unsigned nID, CommandState& state) const override;

    // The session this block belongs to, or null.
    CDataModule* GetSession() const;
    // The document of the block's session, or null.
    ItemDocument* GetDocument() const override;
    // T of the last sample; 0 for an empty block.
    float GetDuration() const;
    int GetCount() const { return static_cast<int>(m_samples.size()); }

    // The first sample whose T reaches t (the last one when none does); its index
    // goes to *pIndex. Null for an empty block.
    const DataSample* IndexAtTime(float t, int* pIndex = nullptr) const;
    // Sample indexes of 0 % and 100 % on a normalised X axis.
    int GetStartIndex() const;
    int GetEndIndex() const;
    // Index of the first maximum of U (cached); 0 for an empty block.
    int GetMaxUIndex() const;
    // The sample at p percent between the start and end index, clamped to the
    // block. Null for an empty block.
    const DataSample* IndexAtPercent(double p, int* pIndex = nullptr) const;
    double PercentAtIndex(int i) const;
    // Sets the start (bEnd false) or end index of the normalised range, clamped
    // to -1 .. count - 1. Neither notifies nor marks the document modified.
    void SetPercentLimit(int index, bool bEnd);

    // Derives C and E of the sample by the rectangle rule (single precision),
    // stores the first 80 characters of the line with it and appends it.
    // Announces the block in its protocol the first time; online, also marks the
    // document modified and feeds the online data bar and the views.
    void AppendSample(const DataSample& sample, std::string_view line, bool bOnline);

    // The text kept in m_strCreated for a block made at the given local time: the
    // user's short date and time format, as 8-bit text.
    static std::string CreatedText(const QDateTime& when);

    // Stored in project files.
    std::string m_strName;
    bool m_bSelected = false;
    std::string m_strCreated;  // local date and time of creation, as text
    std::string m_strInfo;     // the device's header line
    int m_nBattery = 0;        // battery type index 0..5
    std::vector<DataSample> m_samples;
    int m_nColorIntensity = -1;  // percent 10..100, -1 automatic
    int m_nLineType = -1;        // 0..12, -1 automatic

    // Working state, not stored.
    bool m_bAutoNamed = false;         // the name may still be completed by the parser
    bool m_bBatteryPending = false;    // a battery name may still be appended to the name
    bool m_bAnnounced = false;         // the creation entry is in the protocol
    std::string m_strDevice;           // device or charger name from the header
    int m_nStartIndex = -1;            // 0 % of a normalised X axis, -1 not set
    int m_nEndIndex = -1;              // 100 %, -1 not set
    mutable int m_nMaxUIndex = -1;     // cache, -1 not computed
    CProtParser* m_pParser = nullptr;  // the parser that claimed the block, not owning

private:
    void Notify(int lHint, DocumentView* pSender);
    void MarkModified();
};

}  // namespace voltaro
