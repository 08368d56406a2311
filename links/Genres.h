// Genres: the innermost folder of each entry, and the list reordered by them.
#pragma once
#include <string>
#include <vector>

#include "core/MainState.h"

// The folder name whose shortcuts get the standard genre instead.
extern const char kFavoritesFolderName[];  // "Favorites"

// The genre rule: |genre| becomes the folder that directly holds |path|'s
// file (kept as it is when |path| holds no separator), and then, when that
// reads exactly "Favorites", |stdGenre|.
void TakeGenre(const std::string& path, const std::string& stdGenre, std::string& genre);

// Fills m_genres for every entry (through m_workGenre, which keeps its value
// between entries and calls), reorders the list and the genres together by
// genre exactly as the exchange sort does, then ShowFieldValues. The list
// and m_genres change only once all that can fail is done.
// |pathOrder|, when given, receives the way back for RefreshLinkList: if the
// list was strictly in path order before, the permutation its sort would
// find afterwards; else nothing (empty).
void DeriveGenres(CMainState& state, IMainHost& host, std::vector<size_t>* pathOrder = nullptr);
