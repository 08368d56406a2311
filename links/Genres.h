// Genres: the innermost folder of each entry, and the list reordered by them.
#pragma once
#include <string>

#include "links/Cp932.h"
#include "ui/MainState.h"

// Fills m_genres for every entry (through m_workGenre, which keeps its value
// between entries and calls), reorders the list and the genres together by
// genre exactly as the exchange sort does, then ShowFieldValues.
void DeriveGenres(CMainState& state, IMainHost& host, const LeadByteTable& lead);
