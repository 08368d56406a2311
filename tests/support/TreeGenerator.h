// A large Favorites tree for the benchmarks: the same folders, files and
// bytes for the same (count, seed) on every platform, so that the native
// benchmark and the one under Wine measure the same tree. No file system
// here: each caller writes the tree with its own routine.
#pragma once
#include <string>
#include <vector>

struct GeneratedFile {
    std::string path;   // relative to the Favorites folder: code page 932, separators "\\"
    std::string bytes;  // the shortcut file's content
};

struct GeneratedTree {
    std::vector<std::string> folders;  // relative paths as above, each parent before its children
    std::vector<GeneratedFile> files;
};

// |count| shortcut files over about count / 6 folders nested up to five
// levels; Japanese names, many holding a character whose second byte is
// 0x5C. Most folder names are unique (thousands of genres), about one in
// eight repeats a word used elsewhere (shared genres).
GeneratedTree GenerateTree(long count, unsigned seed);
