// A large bookmark tree for the benchmarks, written as a Chromium-family
// "Bookmarks" file and as the bookmark HTML export of the same tree: the
// same bytes for the same (count, seed) on every platform, so that the
// native benchmark and the one under Wine read the same files. No file
// system here: each caller writes the files with its own routine.
#pragma once
#include <string>

struct GeneratedBookmarks {
    // JSON as the browser writes it on Windows: UTF-8, keys in order,
    // 3-space indents, CR LF; every node with its dates, guid and id, some
    // links with meta_info.
    std::string json;
    // The browser's export of the same tree: UTF-8, CR LF, 4-space indents,
    // an ICON data address of 1 to 2 KB on most links.
    std::string html;
    long links = 0;
    long folders = 0;  // below the three roots
};

// |count| links over about count / 6 folders nested up to five levels below
// the roots bookmark_bar, other and synced; Japanese and ASCII names, some
// with characters that both formats escape. Both readers give the same
// entries for both files.
GeneratedBookmarks GenerateBookmarks(long count, unsigned seed);
