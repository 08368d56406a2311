#include "links/Genres.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/Text.h"
#include "links/Ordering.h"

const char kFavoritesFolderName[] = "Favorites";

void TakeGenre(const std::string& path, const std::string& stdGenre, std::string& genre) {
    TakeInnermostFolder(path, genre);
    if (genre == kFavoritesFolderName) genre = stdGenre;
}

void DeriveGenres(CMainState& state, IMainHost& host, std::vector<size_t>* pathOrder) {
    const std::vector<CLinkEntry>& items = state.m_linkList.Items();
    const size_t n = std::min(items.size(), kMaxLinks);
    if (state.m_genres.size() < kMaxLinks) state.m_genres.resize(kMaxLinks);

    std::string workGenre = state.m_workGenre;
    std::vector<std::string> genres(n);
    for (size_t k = 0; k < n; ++k) {
        TakeGenre(items[k].text, state.m_stdGenre, workGenre);
        genres[k] = workGenre;
    }

    // The genres and the entries are exchanged together, so one permutation
    // moves both.
    std::vector<const std::string*> keys(n);
    for (size_t k = 0; k < n; ++k) keys[k] = &genres[k];
    std::vector<size_t> order = ExchangeSortOrder(RankInPathOrder(keys));
    std::vector<bool> done(n, false);
    if (pathOrder) {
        // A list in strict path order has one sorted order: the refresh
        // after a Write only has to undo this reordering.
        pathOrder->clear();
        if (items.size() == n && InStrictPathOrder(items)) {
            pathOrder->resize(n);
            for (size_t k = 0; k < n; ++k) (*pathOrder)[order[k]] = k;
        }
    }
    // Nothing below can fail: the entries move in place, never copied.
    std::vector<CLinkEntry> sorted = state.m_linkList.Release();
    PermuteInPlace(sorted, order, done);

    for (size_t k = 0; k < n; ++k) state.m_genres[k] = std::move(genres[order[k]]);
    state.m_workGenre = std::move(workGenre);
    state.m_linkList.Assign(std::move(sorted));
    host.LinkListChanged();
    host.ShowFieldValues();
}
