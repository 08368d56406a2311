#include "links/Genres.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "links/Ordering.h"

namespace {

const char kFavoritesFolderName[] = "Favorites";

// Sets |genre| to the folder that directly holds |path|'s file: the text
// between the last two separators, or from the start up to the only one.
// A path without a separator leaves |genre| as it was.
void TakeInnermostFolder(const std::string& path, const LeadByteTable& lead, std::string& genre) {
    size_t last = std::string::npos;
    size_t beforeLast = std::string::npos;
    for (size_t p = 0; p < path.size(); ++p) {
        unsigned char c = static_cast<unsigned char>(path[p]);
        if (lead.IsLead(c)) {
            ++p;  // a second byte 0x5C is never a separator
        } else if (c == static_cast<unsigned char>(kSeparator)) {
            beforeLast = last;
            last = p;
        }
    }
    if (last == std::string::npos) return;
    size_t from = (beforeLast == std::string::npos) ? 0 : beforeLast + 1;
    genre.assign(path, from, last - from);
}

}  // namespace

void DeriveGenres(CMainState& state, IMainHost& host, const LeadByteTable& lead) {
    const std::vector<std::string>& items = state.m_linkList.Items();
    const size_t n = std::min(items.size(), kMaxLinks);
    std::vector<std::string> slots(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(n));
    if (state.m_genres.size() < kMaxLinks) state.m_genres.resize(kMaxLinks);

    std::vector<std::string> genres(n);
    for (size_t k = 0; k < n; ++k) {
        TakeInnermostFolder(slots[k], lead, state.m_workGenre);
        if (state.m_workGenre == kFavoritesFolderName) state.m_workGenre = state.m_stdGenre;
        genres[k] = state.m_workGenre;
    }

    // The genres and the slots are exchanged together, so one permutation
    // moves both.
    std::vector<size_t> order = ExchangeSortOrder(RankInPathOrder(genres, lead));
    std::vector<std::string> sorted;
    sorted.reserve(n);
    for (size_t k = 0; k < n; ++k) {
        state.m_genres[k] = std::move(genres[order[k]]);
        sorted.push_back(std::move(slots[order[k]]));
    }
    state.m_linkList.Assign(std::move(sorted));
    host.LinkListChanged();
    host.ShowFieldValues();
}
