#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "support/LiteralSorts.h"
#include "links/Ordering.h"

namespace {

std::vector<size_t> FastOrder(const std::vector<long long>& keys) {
    return ExchangeSortOrder(std::vector<uint32_t>(keys.begin(), keys.end()));
}

}  // namespace

// Hand-checked orders of the exchange sort, equal keys included.
TEST(LinksExchangeSort, KnownOrders) {
    const struct {
        std::vector<long long> keys;
        std::vector<size_t> order;
    } rows[] = {
        {{}, {}},
        {{5}, {0}},
        {{1, 0, 1, 0}, {1, 3, 2, 0}},     // B1 A1 B2 A2 -> A1 A2 B2 B1
        {{0, 0, 0}, {0, 1, 2}},           // all equal: nothing moves
        {{2, 1, 0}, {2, 1, 0}},
        {{0, 1, 2}, {0, 1, 2}},
        {{1, 1, 0}, {2, 1, 0}},           // the first 1 jumps over the second
        {{1, 1, 0, 0}, {2, 3, 0, 1}},
        {{4000000000, 7, 4000000000, 7}, {1, 3, 2, 0}},  // sparse keys
    };
    for (const auto& r : rows) {
        EXPECT_EQ(FastOrder(r.keys), r.order);
        EXPECT_EQ(LiteralExchangeOrder(r.keys), r.order);  // the table itself is right
    }
}

// Many ties from small alphabets, every size up to 300: the fast order is
// the literal one.
TEST(LinksExchangeSort, FastMatchesLiteralOnRandomKeys) {
    std::mt19937 random(20261209);
    for (int alphabet : {1, 2, 3, 5, 12, 40, 1000}) {
        for (size_t n = 0; n <= 300; n += (n < 20 ? 1 : 7)) {
            std::uniform_int_distribution<int> pick(0, alphabet - 1);
            std::vector<long long> keys(n);
            for (long long& k : keys) k = pick(random);
            ASSERT_EQ(FastOrder(keys), LiteralExchangeOrder(keys))
                << "alphabet " << alphabet << " size " << n;
        }
    }
}

// Descending runs make the literal procedure do the most exchanges.
TEST(LinksExchangeSort, FastMatchesLiteralOnDescendingRuns) {
    for (int runs : {2, 7, 30}) {
        for (int runLength : {1, 3, 10}) {
            std::vector<long long> keys;
            for (int r = runs - 1; r >= 0; --r)
                for (int k = 0; k < runLength; ++k) keys.push_back(r);
            ASSERT_EQ(FastOrder(keys), LiteralExchangeOrder(keys)) << runs << "x" << runLength;
        }
    }
}
