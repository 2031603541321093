#pragma once
// The built-in parser of KOVA chargers: a header line holding "KOVA" (with a
// battery mark as its last character and a version word "v<x.yz>"), data lines
// "n:t:u:i<sep>x" (channel, seconds, millivolts, milliamperes; '-' as separator
// marks a discharge) and a form feed that ends the transmission.

#include "voltaro/reception/CProtParser.h"

namespace voltaro {

class CProtParser_Kova : public CProtParser {
public:
    int ParseHeader(CDataBlock& block, std::string_view line, bool bComplete) override;
    int ParseData(CDataBlock& block, std::string_view line, bool bComplete,
                  DataSample* pSample) override;
};

// One data line read as "%d:%d:%d:%d%c%d". conversions counts the fields read,
// as the C scanner counts them.
struct KovaDataLine {
    int conversions = 0;
    long long channel = 0;
    unsigned t = 0;  // the numbers as unsigned 32-bit values
    unsigned u = 0;
    unsigned i = 0;
    char separator = 0;
};
KovaDataLine ScanKovaDataLine(std::string_view line);

}  // namespace voltaro
