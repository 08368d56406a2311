#include "links/Cp932.h"

LeadByteTable MakeLeadByteTable(LeadByteTest test) {
    LeadByteTable t;
    for (int c = 0; c < 256; ++c)
        t.lead[c] = test(static_cast<unsigned char>(c));
    return t;
}

bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

const LeadByteTable& Cp932LeadBytes() {
    static const LeadByteTable table = MakeLeadByteTable(IsCp932LeadByte);
    return table;
}

bool EndsWithSeparator(const std::string& text, const LeadByteTable& lead) {
    // Walk character by character: only the last character's first byte may
    // be the separator.
    bool last = false;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (lead.IsLead(c) && i + 1 < text.size()) {
            last = false;
            ++i;
        } else {
            last = (c == static_cast<unsigned char>(kSeparator));
        }
    }
    return last;
}
