// The fragments of the page for today's readers, typed in by hand so that
// the expected pages never come from the program under test; the style
// sheet and the script are the program's own texts (files of their own).
// UTF-8; "\n" stands for the CR LF the page file stores (see page::Crlf).
#pragma once
#include <string>
#include <vector>

extern const char kTodayStyle[];
extern const char kTodayScript[];

namespace today {

struct CLink {
    std::string address;  // as in the attribute, escaped
    std::string name;     // as in the text, escaped
};
struct CSection {
    std::string genre;  // escaped
    std::vector<CLink> links;
};

// The back link: none, the script's, or a return address (escaped).
inline std::string BackScript() { return u8"<p class=\"back\"><a href=\"javascript:history.back()\">戻る</a></p>\n"; }
inline std::string BackLink(const std::string& url) { return u8"<p class=\"back\"><a href=\"" + url + u8"\">戻る</a></p>\n"; }

// The whole page: |caption| escaped, |back| one of the above or empty.
inline std::string Page(const std::string& caption, const std::string& back, const std::vector<CSection>& sections)
{
    std::string page =
        u8"<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
        u8"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        u8"<meta name=\"color-scheme\" content=\"light dark\">\n"
        u8"<meta name=\"referrer\" content=\"no-referrer\">\n"
        u8"<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
        u8"script-src 'unsafe-inline'; img-src data:; base-uri 'none'; form-action 'none'\">\n"
        u8"<link rel=\"icon\" href=\"data:,\">\n<title>" +
        caption + u8"</title>\n<style>\n" + kTodayStyle + u8"</style>\n</head>\n<body>\n<header>\n<h1>" + caption +
        u8"</h1>\n" + back + u8"</header>\n<nav aria-label=\"ジャンル\">\n<ul>\n";
    for (size_t k = 0; k < sections.size(); ++k)
        page += u8"<li><a href=\"#g" + std::to_string(k + 1) + u8"\">" + sections[k].genre + u8"<span class=\"count\">" +
                std::to_string(sections[k].links.size()) + u8"</span></a></li>\n";
    page += u8"</ul>\n</nav>\n<main>\n";
    for (size_t k = 0; k < sections.size(); ++k) {
        page += u8"<section id=\"g" + std::to_string(k + 1) + u8"\">\n<h2>" + sections[k].genre +
                u8"<span class=\"count\">" + std::to_string(sections[k].links.size()) + u8" 件</span></h2>\n<ul>\n";
        for (const CLink& link : sections[k].links)
            page += u8"<li><a href=\"" + link.address + u8"\">" + link.name + u8"</a></li>\n";
        page += u8"</ul>\n</section>\n";
    }
    page += u8"</main>\n<footer>\n<p><a href=\"http://www.orvelle.example\">Orvelle v4.00</a></p>\n</footer>\n"
            u8"<script>\n" + std::string(kTodayScript) + u8"</script>\n</body>\n</html>\n";
    return page;
}

}  // namespace today
