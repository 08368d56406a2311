// Reading written pages back: the link rows and the numbered genre items, as
// the fragments spell them (line feeds stored as CR LF). For tests that check
// what a page holds rather than its exact bytes (large and random lists).
#pragma once
#include <string>
#include <tuple>
#include <vector>

namespace page {

// One link row: genre cell, href as written, link text.
struct CPageRow {
    std::string genre, href, text;
    bool operator<(const CPageRow& o) const { return std::tie(genre, href, text) < std::tie(o.genre, o.href, o.text); }
    bool operator==(const CPageRow& o) const { return genre == o.genre && href == o.href && text == o.text; }
};

// Every link row of |page|, in page order. A row is
// <TR><TD>genre</TD><TD><A HREF="href" TARGET="_top">text</A></TD></TR> CR LF;
// the heading rows of the tables do not have that shape and are passed over.
inline std::vector<CPageRow> PageRows(const std::string& page) {
    static const std::string kStart = "<TR><TD>", kMid = "</TD><TD><A HREF=\"",
                             kTarget = "\" TARGET=\"_top\">", kEnd = "</A></TD></TR>\r\n";
    std::vector<CPageRow> rows;
    size_t at = 0;
    while ((at = page.find(kStart, at)) != std::string::npos) {
        size_t g = at + kStart.size();
        size_t lineEnd = page.find("\r\n", g);
        if (lineEnd == std::string::npos) lineEnd = page.size();
        size_t mid = page.find(kMid, g);
        size_t target = mid == std::string::npos ? mid : page.find(kTarget, mid + kMid.size());
        size_t end = target == std::string::npos ? target : page.find(kEnd, target + kTarget.size());
        if (end == std::string::npos || end + kEnd.size() > lineEnd + 2) {
            at = g;  // a heading row, or not a row at all
            continue;
        }
        rows.push_back(CPageRow{page.substr(g, mid - g), page.substr(mid + kMid.size(), target - mid - kMid.size()),
                                page.substr(target + kTarget.size(), end - target - kTarget.size())});
        at = end + kEnd.size();
    }
    return rows;
}

// One item of the index or menu page: the page number its href names (-1
// when the href is not eight digits and ".html") and the bracketed genre.
struct CIndexItem {
    long number = 0;
    std::string genre;
};

// Items of the index page (<NOBR><a href="00000001.html">[genre]</A>...) or
// of the menu page (the same with TARGET="_CONTENT"), in page order.
inline std::vector<CIndexItem> IndexItems(const std::string& page) {
    static const std::string kStart = "<NOBR><a href=\"", kClose = "]</A>";
    std::vector<CIndexItem> items;
    size_t at = 0;
    while ((at = page.find(kStart, at)) != std::string::npos) {
        size_t h = at + kStart.size();
        size_t open = page.find("[", h);
        size_t close = open == std::string::npos ? open : page.find(kClose, open);
        if (close == std::string::npos) break;
        CIndexItem item;
        std::string name = page.substr(h, 13);
        bool digits = name.size() == 13 && name.compare(8, 5, ".html") == 0;
        for (int k = 0; digits && k < 8; ++k) digits = name[k] >= '0' && name[k] <= '9';
        item.number = digits ? std::stol(name.substr(0, 8)) : -1;
        item.genre = page.substr(open + 1, close - open - 1);
        items.push_back(item);
        at = close + kClose.size();
    }
    return items;
}

// The text between <H1> and </H1>; "<none>" without one.
inline std::string PageHeading(const std::string& page) {
    size_t a = page.find("<H1>");
    size_t b = a == std::string::npos ? a : page.find("</H1>", a);
    return b == std::string::npos ? "<none>" : page.substr(a + 4, b - a - 4);
}

}  // namespace page
