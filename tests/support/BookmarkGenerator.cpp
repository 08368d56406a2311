#include "support/BookmarkGenerator.h"

#include <random>
#include <vector>

namespace {

// UTF-8 (narrow literals would be code page 932). Nine hold a character
// whose code page 932 form ends in the separator byte 0x5C.
const char* const kWords[] = {
    u8"ソフト", u8"表計算", u8"ニュース", u8"音楽", u8"予定",  u8"十字", u8"申請", u8"構成",
    u8"貼付",   u8"噂話",   u8"旅行",     u8"料理", u8"技術",  u8"スポーツ", u8"ｶﾀｶﾅ", "News",
    "Tools",    "Daily",    u8"能力",     u8"映画", "Shopping", "Reference", u8"天気", u8"地図",
};
const size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

const char* const kHosts[] = {
    "www.example.com", "example.jp", "news.example.net", "docs.example.org", "shop.example.co.jp", "blog.example.com",
};
const char* const kPathWords[] = {"articles", "blog", "wiki", "docs", "item", "search", "watch", "ja"};

// The folder names a Japanese browser gives the roots, as the Chromium
// reader names them: the HTML export carries them as folder titles.
const char kBarName[] = u8"ブックマーク バー";
const char kSyncedName[] = u8"モバイルのブックマーク";

const char kEol[] = "\r\n";
const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// The start of every 16x16 PNG; the rest of an icon is drawn from a pool.
const char kPngStart[] = "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAA";
// Seconds from 1601-01-01 (the browser's epoch) to 1970-01-01.
const long long kEpochDelta = 11644473600LL;

struct Node {
    bool folder = false;
    std::string name;  // UTF-8
    std::string url;
    long long added = 0;     // seconds since 1970
    long long modified = 0;  // folders
    long long lastUsed = 0;  // 0: never
    std::string guid;
    long id = 0;
    int meta = 0;  // 0: no meta_info; 1 and 2: two kinds
    size_t iconAt = 0, iconLength = 0;  // no ICON when 0
    int depth = 0;
    std::vector<size_t> children;
};

struct Builder {
    // std::mt19937 and "%" give the same numbers with every standard library
    // (the distributions of <random> do not).
    std::mt19937 rng;
    std::vector<Node> nodes;
    std::string iconPool;

    const char* Word() { return kWords[rng() % kWordCount]; }

    std::string Hex(int digits) {
        std::string s;
        for (int i = 0; i < digits; ++i) s.push_back("0123456789abcdef"[rng() % 16]);
        return s;
    }

    std::string Guid() {
        std::string h = Hex(32);
        h[12] = '4';
        h[16] = "89ab"[rng() % 4];
        return h.substr(0, 8) + "-" + h.substr(8, 4) + "-" + h.substr(12, 4) + "-" + h.substr(16, 4) + "-" +
               h.substr(20);
    }

    void Dates(Node& node) {
        node.added = 1500000000LL + rng() % 200000000;
        node.modified = node.added + rng() % 10000000;
        node.lastUsed = rng() % 3 == 0 ? node.added + rng() % 1000000 : 0;
    }

    std::string FolderName(long k) {
        std::string name;
        switch (rng() % 4) {
        case 0: name = std::string(Word()) + " " + Word(); break;
        case 1: name = std::string(Word()) + u8"関連"; break;
        default: name = Word();
        }
        if (rng() % 8 != 0) name += " " + std::to_string(k);
        return name;
    }

    // Mostly plain titles; one in fifty holds characters that JSON or HTML
    // escape, so both readers' unescaping is part of the time.
    std::string Title(long n) {
        const std::string w = Word();
        const std::string number = std::to_string(n);
        if (rng() % 50 == 0) {
            if (rng() % 2 == 0) return u8"Q&A \"" + w + u8"\" <beta> と 'quote' " + number;
            return "C:\\Tools\\" + w + " " + number;
        }
        switch (rng() % 5) {
        case 0: return w + u8"のページ" + number;
        case 1: return w + " - " + kHosts[rng() % 6] + " (" + number + ")";
        case 2: return "Daily " + w + " | Example " + number;
        case 3: return w + u8"：" + Word() + u8"について " + number;
        default: return "How to use " + w + " #" + number;
        }
    }

    std::string Url(long n) {
        std::string url = rng() % 4 == 0 ? "http://" : "https://";
        url += kHosts[rng() % 6];
        url += "/";
        url += kPathWords[rng() % 8];
        url += "/" + std::to_string(rng() % 100000);
        switch (rng() % 4) {
        case 0: url += "/index.html?id=" + std::to_string(n) + "&lang=ja&ref=bookmark"; break;
        case 1: url += "/%E3%83%9A%E3%83%BC%E3%82%B8" + std::to_string(n); break;
        case 2: url += "/page" + std::to_string(n) + ".html#top"; break;
        default: url += "/" + std::to_string(n) + "/";
        }
        return url;
    }

    size_t NewNode(bool folder, size_t parent) {
        Node node;
        node.folder = folder;
        node.id = static_cast<long>(nodes.size()) + 1;
        node.guid = Guid();
        Dates(node);
        node.depth = nodes[parent].depth + 1;
        nodes.push_back(std::move(node));
        nodes[parent].children.push_back(nodes.size() - 1);
        return nodes.size() - 1;
    }
};

void Indent(std::string& out, int depth, int width) { out.append(static_cast<size_t>(depth * width), ' '); }

// As the browser escapes a string: quotes, backslashes, control characters
// and "<" (against script in a page that embeds the file).
void JsonString(std::string& out, const std::string& text) {
    out.push_back('"');
    for (char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '<': out += "\\u003C"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out.push_back(c);
        }
    }
    out.push_back('"');
}

std::string BrowserTime(long long seconds, long id) {
    if (seconds == 0) return "0";
    return std::to_string((seconds + kEpochDelta) * 1000000LL + (id * 7919) % 1000000);
}

// A node as an object whose members lie at depth + 1 (the browser's pretty
// printing: an array's items stay at the array's depth).
void WriteJsonNode(std::string& out, const std::vector<Node>& nodes, size_t index, int depth) {
    const Node& node = nodes[index];
    bool first = true;
    auto key = [&](const char* name) {
        if (!first) out += std::string(",") + kEol;
        first = false;
        Indent(out, depth + 1, 3);
        out += std::string("\"") + name + "\": ";
    };
    out += std::string("{") + kEol;
    if (node.folder) {
        key("children");
        out += "[ ";
        for (size_t k = 0; k < node.children.size(); ++k) {
            if (k) out += ", ";
            WriteJsonNode(out, nodes, node.children[k], depth + 1);
        }
        out += " ]";
    }
    key("date_added");
    JsonString(out, BrowserTime(node.added, node.id));
    key("date_last_used");
    JsonString(out, BrowserTime(node.lastUsed, node.id));
    if (node.folder) {
        key("date_modified");
        JsonString(out, BrowserTime(node.modified, node.id));
    }
    key("guid");
    JsonString(out, node.guid);
    key("id");
    JsonString(out, std::to_string(node.id));
    if (node.meta) {
        key("meta_info");
        out += std::string("{") + kEol;
        Indent(out, depth + 2, 3);
        if (node.meta == 1)
            out += "\"power_bookmark_meta\": \"\"";
        else
            out += "\"last_visited_desktop\": \"" + BrowserTime(node.lastUsed ? node.lastUsed : node.added, node.id) + "\"";
        out += kEol;
        Indent(out, depth + 1, 3);
        out += "}";
    }
    key("name");
    JsonString(out, node.name);
    key("type");
    out += node.folder ? "\"folder\"" : "\"url\"";
    if (!node.folder) {
        key("url");
        JsonString(out, node.url);
    }
    out += kEol;
    Indent(out, depth, 3);
    out += "}";
}

void HtmlEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out.push_back(c);
        }
    }
}

void WriteHtmlChildren(std::string& out, const Builder& b, const Node& folder, int depth);

void WriteHtmlFolder(std::string& out, const Builder& b, const Node& node, int depth, bool toolbar) {
    Indent(out, depth, 4);
    out += "<DT><H3 ADD_DATE=\"" + std::to_string(node.added) + "\" LAST_MODIFIED=\"" +
           std::to_string(node.modified) + "\"";
    if (toolbar) out += " PERSONAL_TOOLBAR_FOLDER=\"true\"";
    out += ">";
    HtmlEscaped(out, node.name);
    out += std::string("</H3>") + kEol;
    Indent(out, depth, 4);
    out += std::string("<DL><p>") + kEol;
    WriteHtmlChildren(out, b, node, depth + 1);
    Indent(out, depth, 4);
    out += std::string("</DL><p>") + kEol;
}

void WriteHtmlChildren(std::string& out, const Builder& b, const Node& folder, int depth) {
    for (size_t index : folder.children) {
        const Node& node = b.nodes[index];
        if (node.folder) {
            WriteHtmlFolder(out, b, node, depth, false);
            continue;
        }
        Indent(out, depth, 4);
        out += "<DT><A HREF=\"";
        HtmlEscaped(out, node.url);
        out += "\" ADD_DATE=\"" + std::to_string(node.added) + "\"";
        if (node.iconLength) {
            out += " ICON=\"";
            out += kPngStart;
            out.append(b.iconPool, node.iconAt, node.iconLength);
            out += "\"";
        }
        out += ">";
        HtmlEscaped(out, node.name);
        out += std::string("</A>") + kEol;
    }
}

}  // namespace

GeneratedBookmarks GenerateBookmarks(long count, unsigned seed) {
    Builder b;
    b.rng.seed(seed);
    for (int k = 0; k < 8192; ++k) b.iconPool.push_back(kBase64[b.rng() % 64]);

    // Roots: 0 bookmark_bar, 1 other, 2 synced; depth 0.
    const char* const rootNames[] = {kBarName, u8"その他のブックマーク", kSyncedName};
    for (int r = 0; r < 3; ++r) {
        Node root;
        root.folder = true;
        root.name = rootNames[r];
        root.id = r + 1;
        root.guid = b.Guid();
        b.Dates(root);
        b.nodes.push_back(std::move(root));
    }
    // Most bookmarks below the bar, fewer in "other", few in "synced".
    std::vector<size_t> picks = {0, 0, 0, 1, 1, 2};

    const long folderCount = count / 6;
    long foldersLeft = folderCount, linksLeft = count;
    // Folders and links interleaved at random, as people add them.
    while (foldersLeft + linksLeft > 0) {
        const bool folder = b.rng() % static_cast<unsigned long>(foldersLeft + linksLeft) <
                            static_cast<unsigned long>(foldersLeft);
        if (folder) {
            size_t parent;
            do parent = picks[b.rng() % picks.size()]; while (b.nodes[parent].depth >= 5);
            const size_t at = b.NewNode(true, parent);
            b.nodes[at].name = b.FolderName(folderCount - foldersLeft);
            picks.push_back(at);
            --foldersLeft;
        } else {
            const size_t parent = picks[b.rng() % picks.size()];
            const long n = count - linksLeft;
            const size_t at = b.NewNode(false, parent);
            Node& node = b.nodes[at];
            node.name = b.Title(n);
            node.url = b.Url(n);
            node.meta = b.rng() % 5 == 0 ? static_cast<int>(1 + b.rng() % 2) : 0;
            if (b.rng() % 20 < 17) {
                node.iconLength = (1000 + b.rng() % 1000) / 4 * 4;
                node.iconAt = b.rng() % (b.iconPool.size() - node.iconLength);
            }
            --linksLeft;
        }
    }

    GeneratedBookmarks out;
    out.links = count;
    out.folders = folderCount;

    std::string& json = out.json;
    json.reserve(static_cast<size_t>(count) * 420);
    json += std::string("{") + kEol;
    json += "   \"checksum\": \"" + b.Hex(32) + "\"," + kEol;
    json += std::string("   \"roots\": {") + kEol;
    const char* const rootKeys[] = {"bookmark_bar", "other", "synced"};
    for (int r = 0; r < 3; ++r) {
        json += std::string("      \"") + rootKeys[r] + "\": ";
        WriteJsonNode(json, b.nodes, static_cast<size_t>(r), 2);
        json += r < 2 ? std::string(",") + kEol : std::string(kEol);
    }
    json += std::string("   },") + kEol;
    json += std::string("   \"version\": 1") + kEol;
    json += std::string("}") + kEol;

    std::string& html = out.html;
    html.reserve(static_cast<size_t>(count) * 1600);
    html += std::string("<!DOCTYPE NETSCAPE-Bookmark-file-1>") + kEol;
    html += std::string("<!-- This is an automatically generated file.") + kEol;
    html += std::string("     It will be read and overwritten.") + kEol;
    html += std::string("     DO NOT EDIT! -->") + kEol;
    html += std::string("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">") + kEol;
    html += std::string("<TITLE>Bookmarks</TITLE>") + kEol;
    html += std::string("<H1>Bookmarks</H1>") + kEol;
    html += std::string("<DL><p>") + kEol;
    // The export puts the bar's folder first, the bookmarks of "other"
    // directly at the top, then the synced folder.
    WriteHtmlFolder(html, b, b.nodes[0], 1, true);
    WriteHtmlChildren(html, b, b.nodes[1], 1);
    WriteHtmlFolder(html, b, b.nodes[2], 1, false);
    html += std::string("</DL><p>") + kEol;
    return out;
}
