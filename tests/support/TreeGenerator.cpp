#include "support/TreeGenerator.h"

#include <random>
#include <set>

namespace {

// Nine hold a character whose second byte is 0x5C, the separator byte:
// ソ, 表, 予, 十, 申, 構, 貼, 噂, 能.
const char* const kWords[] = {
    "ソフト", "表計算", "ニュース", "音楽", "予定", "十字", "申請", "構成", "貼付", "噂話",
    "旅行", "料理", "技術", "スポーツ", "ｶﾀｶﾅ", "News", "Tools", "Daily", "能力", "映画",
};
const size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

}  // namespace

GeneratedTree GenerateTree(long count, unsigned seed) {
    // std::mt19937 and "%" give the same numbers with every standard library
    // (the distributions of <random> do not).
    std::mt19937 rng(seed);
    GeneratedTree tree;
    // A path made twice (a shared name below the same parent) is one folder
    // but two picks, as in the trees the published figures come from.
    std::vector<std::string> picks = {""};  // "" is the Favorites folder itself
    std::vector<int> depth = {0};
    std::set<std::string> made;
    const long folderCount = count / 6 + 1;
    for (long k = 0; k < folderCount; ++k) {
        size_t parent;
        do parent = rng() % picks.size(); while (depth[parent] >= 5);
        std::string name = kWords[rng() % kWordCount];
        if (rng() % 8 != 0) name += std::to_string(k);
        const std::string path = picks[parent].empty() ? name : picks[parent] + "\\" + name;
        if (made.insert(path).second) tree.folders.push_back(path);
        picks.push_back(path);
        depth.push_back(depth[parent] + 1);
    }
    for (long n = 0; n < count; ++n) {
        const std::string& folder = picks[rng() % picks.size()];
        const std::string name = std::string(kWords[rng() % kWordCount]) + "のページ" + std::to_string(n) + ".url";
        const std::string url =
            "http://www.example.com/" + std::to_string(rng() % 100000) + "/index.html?id=" + std::to_string(n);
        tree.files.push_back({folder.empty() ? name : folder + "\\" + name,
                              "[InternetShortcut]\r\nURL=" + url + "\r\nModified=70E7A1B2C3D4E5F6A7\r\nIconIndex=0\r\n"});
    }
    return tree;
}
