// Path order, containment, and the list refresh that ends Import and Write.
#pragma once
#include <string>

#include "links/Cp932.h"
#include "ui/MainState.h"

// Compares two texts as code page 932 characters (a lead byte and the byte
// after it valued lead * 256 + second; a lead byte before the end of the text
// ends it). Negative, zero (only when identical) or positive.
int ComparePathOrder(const std::string& a, const std::string& b, const LeadByteTable& lead);

// True when the bytes of |text| occur in |entry| starting at a character
// boundary of |entry|. The empty text is contained in every entry.
bool ContainsAtBoundary(const std::string& entry, const std::string& text,
                        const LeadByteTable& lead);

// Takes the control values, sorts the list into path order and keeps only
// the entries that pass the exclusion and inclusion texts. Does not touch
// m_genres.
void RefreshLinkList(CMainState& state, IMainHost& host, const LeadByteTable& lead);
