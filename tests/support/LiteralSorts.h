// The exchange sort exactly as the list operations describe it, kept
// literal (quadratic) so that the fast procedures can be checked against it.
#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "core/Text.h"
#include "support/Fakes.h"
#include "links/Ordering.h"

// For each slot i, for each later slot j: exchange when slot i's key comes
// after slot j's. |carried| is exchanged along with the keys.
template <typename Key, typename Compare, typename Carried>
void LiteralExchangeSort(std::vector<Key>& keys, std::vector<Carried>& carried, Compare compare) {
    const size_t n = keys.size();
    if (n < 2) return;
    for (size_t i = 0; i + 1 < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (compare(keys[i], keys[j]) > 0) {
                std::swap(keys[i], keys[j]);
                std::swap(carried[i], carried[j]);
            }
        }
    }
}

// The original indices in the order the literal exchange sort leaves them.
inline std::vector<size_t> LiteralExchangeOrder(std::vector<long long> keys) {
    std::vector<size_t> index(keys.size());
    for (size_t k = 0; k < index.size(); ++k) index[k] = k;
    LiteralExchangeSort(keys, index, [](long long a, long long b) { return a < b ? -1 : (a > b ? 1 : 0); });
    return index;
}

// Genres and paths sorted together by genre in path order, literally.
inline void LiteralGenreSort(std::vector<std::string>& genres, std::vector<std::string>& paths) {
    LiteralExchangeSort(genres, paths, [&](const std::string& a, const std::string& b) {
        return ComparePathOrder(a, b);
    });
}

// The genre of each path by the byte scan as written: every separator sets
// the working genre to the bytes since the previous one; "Favorites" becomes
// the standard genre. |work| carries over between entries.
inline std::vector<std::string> LiteralGenres(const std::vector<std::string>& paths,
                                              const std::string& stdGenre, std::string& work) {
    std::vector<std::string> genres;
    for (const auto& path : paths) {
        size_t from = 0;
        for (size_t p = 0; p < path.size(); ++p) {
            if (IsLeadByte(static_cast<unsigned char>(path[p]))) {
                ++p;
            } else if (path[p] == '\\') {
                work = path.substr(from, p - from);
                from = p + 1;
            }
        }
        if (work == "Favorites") work = stdGenre;
        genres.push_back(work);
    }
    return genres;
}
