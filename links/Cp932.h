// Code page 932 character rules shared by every walk over a text.
#pragma once
#include <string>

// A lead-byte table built once from the platform's lead-byte test, so that hot
// loops (sorting, separator walks) test a byte with one array read.
struct LeadByteTable {
    bool lead[256];
    bool IsLead(unsigned char c) const { return lead[c]; }
};

// The lead-byte test that the platform supplies: true when the byte begins a
// two-byte character in the system's ANSI code page.
typedef bool (*LeadByteTest)(unsigned char c);

// Builds the table by asking |test| once for every byte value.
LeadByteTable MakeLeadByteTable(LeadByteTest test);

// The code page 932 rule of our own: 0x81 to 0x9F and 0xE0 to 0xFC are lead
// bytes. Never depends on the host's code page.
bool IsCp932LeadByte(unsigned char c);

// The table of IsCp932LeadByte, built once.
const LeadByteTable& Cp932LeadBytes();

const char kSeparator = '\\';

// True when |text| ends in a separator that begins a character (a second
// byte 0x5C of a two-byte character does not count).
bool EndsWithSeparator(const std::string& text, const LeadByteTable& lead);
