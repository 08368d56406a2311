// Path order, containment, and the list refresh that ends Import and Write.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "links/Cp932.h"
#include "ui/MainState.h"

// Compares two texts as code page 932 characters (a lead byte and the byte
// after it valued lead * 256 + second; a lead byte before the end of the text
// ends it). Negative, zero or positive; zero for identical texts, and
// otherwise only for texts that differ by a lone lead byte at their end.
int ComparePathOrder(const std::string& a, const std::string& b, const LeadByteTable& lead);

// True when the bytes of |text| occur in |entry| starting at a character
// boundary of |entry|. The empty text is contained in every entry.
bool ContainsAtBoundary(const std::string& entry, const std::string& text,
                        const LeadByteTable& lead);

// Dense ranks in path order: texts that compare equal share a rank, a
// smaller rank comes first; ranks run from 0 without gaps.
std::vector<uint32_t> RankInPathOrder(const std::vector<std::string>& texts,
                                      const LeadByteTable& lead);

// The permutation that the exchange sort (for each slot i, for each later
// slot j, exchange when slot i's key is greater than slot j's) makes of
// |keys|: element k of the result is the index of the key that ends in slot
// k. Reproduces that procedure's order of equal keys exactly, in
// O(n log n) time whatever the keys.
std::vector<size_t> ExchangeSortOrder(const std::vector<uint32_t>& keys);

// Takes the control values, sorts the list into path order and keeps only
// the entries that pass the exclusion and inclusion texts, then tells the
// host that the list changed. Handles at most kMaxLinks entries: any beyond
// are dropped. Does not touch m_genres.
void RefreshLinkList(CMainState& state, IMainHost& host, const LeadByteTable& lead);
