#include "voltaro/reception/CProtParser_Kova.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/DataSample.h"
#include "voltaro/reception/ScanText.h"

#include <cstdint>

namespace voltaro {
namespace {

constexpr char kFormFeed = '\x0C';
constexpr const char* kDeviceName = "Voltaro";

// One "%d" conversion: white space, an optional sign, at least one digit. The
// value keeps its low 64 bits (and so its low 32), as a wrapping reader would.
bool scanInt(std::string_view s, std::size_t& pos, std::uint64_t& value, bool& negative,
             std::uint64_t& magnitude) {
    negative = SkipSpaceAndSign(s, pos);
    const std::size_t first = pos;
    std::uint64_t v = 0;
    magnitude = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        const unsigned digit = static_cast<unsigned>(s[pos] - '0');
        v = v * 10u + digit;
        if (magnitude < 1000000000000ull)
            magnitude = magnitude * 10u + digit;
        ++pos;
    }
    if (pos == first)
        return false;
    value = negative ? (~v + 1u) : v;
    return true;
}

}  // namespace

KovaDataLine ScanKovaDataLine(std::string_view line) {
    KovaDataLine r;
    std::size_t pos = 0;
    std::uint64_t value = 0;
    std::uint64_t magnitude = 0;
    bool negative = false;
    unsigned* const fields[] = {nullptr, &r.t, &r.u, &r.i};
    for (int f = 0; f < 4; ++f) {
        if (f > 0) {
            if (pos >= line.size() || line[pos] != ':')
                return r;
            ++pos;
        }
        if (!scanInt(line, pos, value, negative, magnitude))
            return r;
        if (f == 0)
            r.channel =
                negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
        else
            *fields[f] = static_cast<unsigned>(value & 0xFFFFFFFFu);
        ++r.conversions;
    }
    if (pos >= line.size())
        return r;
    r.separator = line[pos++];
    ++r.conversions;
    if (scanInt(line, pos, value, negative, magnitude))
        ++r.conversions;
    return r;
}

int CProtParser_Kova::ParseHeader(CDataBlock& block, std::string_view line, bool bComplete) {
    if (!bComplete || line.find("KOVA") == std::string_view::npos)
        return 0;
    std::string_view rest = line;
    while (!rest.empty() && rest.front() == '*')
        rest.remove_prefix(1);
    rest = TrimCSpace(rest);
    block.m_strInfo.assign(rest);
    block.m_strDevice = kDeviceName;

    // The charger marks the battery kind with the last character of the line.
    int battery = 0;
    if (!rest.empty()) {
        const int code = static_cast<unsigned char>(rest.back());
        if (code >= 31 && code <= 36)
            battery = code - 31;
    }
    block.m_nBattery = battery;
    block.m_strName = std::string(BatteryName(battery)) + " (no data yet)";

    const std::size_t v = rest.rfind('v');
    if (v != std::string_view::npos) {
        std::string_view version = rest.substr(v + 1);
        std::size_t end = 0;
        while (end < version.size() && !IsCSpace(version[end]))
            ++end;
        block.m_strDevice += ' ';
        block.m_strDevice.append(version.substr(0, end));
    }
    return PF_CONSUMED;
}

int CProtParser_Kova::ParseData(CDataBlock& block, std::string_view line, bool bComplete,
                                DataSample* pSample) {
    // The form feed ends the transmission the moment it arrives.
    if (!line.empty() && line.front() == kFormFeed)
        return PF_FINISH | PF_CONSUMED;
    if (!bComplete)
        return 0;
    if ((!line.empty() && line.front() == '*') || line.find("KOVA") != std::string_view::npos)
        return PF_NEXT_BLOCK;

    const KovaDataLine d = ScanKovaDataLine(line);
    if (d.conversions < 5 || d.channel < 0 || d.channel > 9)
        return PF_UNRECOGNISED;

    if (block.m_samples.empty()) {
        const bool discharge = d.separator == '-';
        const char* battery = BatteryName(block.m_nBattery);
        CDataModule* session = block.GetSession();
        const int k = session ? session->m_nCycleBlocks / 2 : 0;
        if (k > 0) {
            block.m_strName =
                std::string(battery) + (discharge ? " D" : " C") + std::to_string(k + 1);
            // The second cycle shows that the session has cycles: the first two
            // blocks get their cycle number now.
            if (!discharge && k == 1) {
                for (std::size_t n = 0; n < 2 && n < session->m_blocks.GetCount(); ++n) {
                    CDataBlock* first = session->m_blocks.GetAt(n);
                    if (first->m_bAutoNamed) {
                        first->m_strName += '1';
                        first->m_bAutoNamed = false;
                    }
                }
            }
        } else {
            block.m_strName = std::string(battery) + (discharge ? " D" : " C");
            block.m_bAutoNamed = true;
        }
        if (session)
            ++session->m_nCycleBlocks;
    }

    if (pSample) {
        constexpr float kMilli = 0.001f;
        pSample->T = static_cast<float>(d.t);
        pSample->U = static_cast<float>(d.u) * kMilli;
        pSample->I = static_cast<float>(d.i) * kMilli;
    }
    return PF_SAMPLE | PF_CONSUMED;
}

}  // namespace voltaro
