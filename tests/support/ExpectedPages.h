// The page fragments as the pages must carry them, typed in by hand so that
// the expected pages never come from the program under test. "\n" stands for
// the line feed that text mode stores as CR LF (see Crlf).
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace page {

inline const char kHomePage[] = "http://www.orvelle.example";

inline std::string HeadTitle(const std::string& caption)
{
    return "<HTML>\n<HEAD>\n<TITLE>" + caption + "</TITLE>\n";
}
inline const char kHeadDefaultTitle[] = "<HTML>\n<HEAD>\n<TITLE>My Link</TITLE>\n";
inline const char kFrameset[] =
    "<FRAMESET COLS=\"200,*\">\n<FRAME SRC=\"linkmenu.html\">\n<FRAME SRC=\"linkmenu.html\" NAME=\"_CONTENT\">\n"
    "<NOFRAMES>\n";
inline const char kHeadEndScript[] =
    "<SCRIPT LANGUAGE=\"JavaScript\">\n<!--\nfunction goback()\n{\nif (window.history.length == 0)\n{\n"
    "window.close();\n}\nelse\n{\nwindow.history.back()\n}\n}//-->\n</SCRIPT>\n</HEAD><BODY>\n";
inline const char kHeadEnd[] = "</HEAD>\n<BODY>\n";
inline const char kTopAnchor[] = "<A NAME=\"TOP\">\n";
inline const char kBackLinkScript[] =
    "<SCRIPT LANGUAGE=\"JavaScript\">\n<!--\ndocument.writeln('<A HREF=\"javascript:goback();\" "
    "TARGET=\"_top\">戻る</a>');\n//-->\n</script>";
inline std::string BackLink(const std::string& url)
{
    return "<A HREF=\"" + url + "\" TARGET=\"_top\">戻る</A>\n";
}
inline std::string Heading(const std::string& caption)
{
    return "<H1>" + caption + "</H1>\n";
}
inline const char kHeadingDefault[] = "<H1>わたしのお気に入り</H1>\n";
inline std::string AnchorIndexItem(const std::string& genre)
{
    return "<NOBR><a href=\"#" + genre + "\">[" + genre + "]</A>　</NOBR>";
}
inline const char kAnchorIndexEnd[] = "<HR>";
inline const char kTableHead[] = "<TABLE BORDER=1>\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\n";
inline std::string GenreBreak(const std::string& genre)
{
    return "</TABLE>\n<A NAME=\"" + genre +
           "\"><A HREF=\"#TOP\">▲</A><BR>\n<TABLE BORDER=1>\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\n";
}
inline std::string LinkRow(const std::string& genre, const std::string& url, const std::string& text)
{
    return "<TR><TD>" + genre + "</TD><TD><A HREF=\"" + url + "\" TARGET=\"_top\">" + text + "</A></TD></TR>\n";
}
inline std::string Footer()
{
    return std::string("</TABLE>\n<P align=\"right\"><A HREF=\"") + kHomePage +
           "\" TARGET=\"_top\">Orvelle v4.00</A></P>\n";
}
inline const char kNoFramesEnd[] = "</NOFRAMES>\n";
inline const char kPageEnd[] = "</BODY>\n</HTML>\n";
inline std::string Number(int n)
{
    char buf[16];
    snprintf(buf, sizeof buf, "%08d", n);
    return buf;
}
inline std::string IndexItem(int n, const std::string& genre)
{
    return "<NOBR><a href=\"" + Number(n) + ".html\">[" + genre + "]</A>　</NOBR><BR>";
}
inline std::string MenuItem(int n, const std::string& genre)
{
    return "<NOBR><a href=\"" + Number(n) + ".html\" TARGET=\"_CONTENT\">[" + genre + "]</A>　</NOBR><BR>";
}
inline const char kIndexEnd[] = "</BODY></HTML>";
inline const char kGenrePageStart[] = "<HTML>\n<HEAD>\n";
inline std::string GenrePageBack(const std::string& outputPath)
{
    return "</HEAD>\n<BODY>\n<A HREF=\"" + outputPath + "\" TARGET=\"_top\">戻る</A>\n";
}
inline std::string GenrePageHeading(const std::string& genre)
{
    return "<H1>" + genre + "</H1>\n<TABLE BORDER=\"1\">\n<TR><TD>ジャンル</TD><TD>リンク</TD></TR>\n";
}
inline std::string GenrePageName(int n)
{
    return Number(n) + ".html";
}
// A whole genre page: |head| is kHeadEnd (frames) or GenrePageBack(output path).
inline std::string GenrePage(const std::string& head, const std::string& genre, const std::string& rows)
{
    return kGenrePageStart + head + GenrePageHeading(genre) + rows + Footer() + kPageEnd;
}

// The fifth style's page is UTF-8: its fragments are u8 literals, which the
// code page 932 compilation leaves as they are. Texts in the rows are typed
// already escaped (&amp; &lt; &gt; &quot;), addresses already percent-encoded.
// |mark|: empty, "dead" (struck through, "リンク切れ" beside it) or the new
// address of a moved link.
struct CTodayLink {
    CTodayLink(std::string h, std::string n, std::string m = "") : href(h), name(n), mark(m) {}
    std::string href;
    std::string name;
    std::string mark;
};
inline std::string TodayRow(const CTodayLink& l)
{
    if (l.mark.empty())
        return u8"<li><a href=\"" + l.href + u8"\">" + l.name + u8"</a></li>\n";
    if (l.mark == "dead")
        return u8"<li class=\"dead\"><a href=\"" + l.href + u8"\"><s>" + l.name +
               u8"</s></a> <span class=\"mark\">リンク切れ</span></li>\n";
    return u8"<li class=\"moved\"><a href=\"" + l.href + u8"\">" + l.name + u8"</a> <span class=\"mark\">移転先: <a href=\"" +
           l.mark + u8"\">" + l.mark + u8"</a></span></li>\n";
}
struct CTodayGenre {
    std::string name;
    std::vector<CTodayLink> links;
};
inline const char kTodayDefaultCaption[] = u8"わたしのお気に入り";
inline const char kTodayEmptyGenre[] = u8"（ジャンルなし）";
inline const char kTodayBackScript[] = u8"<p class=\"back\"><a href=\"javascript:history.back()\">戻る</a></p>\n";
inline std::string TodayBackLink(const std::string& href)
{
    return u8"<p class=\"back\"><a href=\"" + href + u8"\">戻る</a></p>\n";
}
inline const char kTodayHead[] =
    u8"<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
    u8"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    u8"<meta name=\"color-scheme\" content=\"light dark\">\n<meta name=\"referrer\" content=\"no-referrer\">\n"
    u8"<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
    u8"script-src 'unsafe-inline'; img-src data:; base-uri 'none'; form-action 'none'\">\n"
    u8"<link rel=\"icon\" href=\"data:,\">\n<title>";
// The whole page: |title| as it stands in <title> and <h1>, |back| the back
// link's paragraph (or nothing), |style| and |script| the texts compiled in.
inline std::string TodayPage(const std::string& title, const std::string& back,
                             const std::vector<CTodayGenre>& genres, const std::string& style,
                             const std::string& script)
{
    std::string out = kTodayHead + title + u8"</title>\n<meta name=\"description\" content=\"" + title +
                      u8"\">\n<style>\n" + style +
                      u8"</style>\n</head>\n<body>\n<header>\n<h1>" + title + u8"</h1>\n" + back +
                      u8"</header>\n<nav aria-label=\"ジャンル\">\n<ul>\n";
    for (size_t k = 0; k < genres.size(); ++k)
        out += u8"<li><a href=\"#g" + std::to_string(k + 1) + u8"\">" + genres[k].name + u8"<span class=\"count\">" +
               std::to_string(genres[k].links.size()) + u8"</span></a></li>\n";
    out += u8"</ul>\n</nav>\n<main>\n";
    for (size_t k = 0; k < genres.size(); ++k) {
        out += u8"<section id=\"g" + std::to_string(k + 1) + u8"\">\n<h2>" + genres[k].name +
               u8"<span class=\"count\">" + std::to_string(genres[k].links.size()) + u8" 件</span></h2>\n<ul>\n";
        for (const CTodayLink& l : genres[k].links)
            out += TodayRow(l);
        out += u8"</ul>\n</section>\n";
    }
    return out + u8"</main>\n<footer>\n<p><a href=\"" + kHomePage +
           u8"\">Orvelle v4.00</a></p>\n</footer>\n<script>\n" + script + u8"</script>\n</body>\n</html>\n";
}

// The link check's report, in the fifth style's look. Texts typed escaped.
struct CReportLink {
    CReportLink(std::string n, std::string h, std::string g, std::string s, std::string m = "")
        : name(n), href(h), genre(g), status(s), moved(m) {}
    std::string name, href, genre, status;  // status: "HTTP 404" or "HTTP 応答なし"
    std::string moved;                      // the new address of a moved link
};
struct CReportSection {
    std::string id, word, about;
    std::vector<CReportLink> links;
};
inline const char kReportDeadAbout[] = u8"20 時間以上あけた 2 度の確認で、どちらも見つからなかったリンクです。";
inline const char kReportUnconfirmedAbout[] =
    u8"見つかりませんでした。20 時間以上あけた次の確認でも見つからなければ「切れ」になります。一時的な障害のこともあります。";
inline const char kReportMovedAbout[] = u8"新しいアドレスへ恒久的に移っています。";
inline const char kReportRefusedAbout[] =
    u8"サーバーが確認を断りました（401, 403, 429）。ブラウザーでは開けることがあります。";
inline const char kReportErrorAbout[] =
    u8"時間切れ、接続の失敗、暗号化の失敗、サーバーの障害で、確かめられませんでした。";
inline const char kReportAllOk[] = u8"確認したリンクはすべて正常でした。";
inline const char kReportNoneChecked[] = u8"確認したリンクはありません。";
// |when| "YYYY-MM-DD hh:mm:ss"; |counts| of 正常, 移転, 切れ, 切れ?, 拒否,
// エラー and the links not checked; |none| the sentence of a report without
// sections (or nothing).
inline std::string CheckReport(const std::string& when, const std::vector<int>& counts,
                               const std::vector<CReportSection>& sections, const std::string& none,
                               const std::string& style)
{
    const char* const words[] = {u8"正常", u8"移転", u8"切れ", u8"切れ?", u8"拒否", u8"エラー", u8"確認していない"};
    std::string datetime = when;
    datetime[10] = 'T';
    std::string out = kTodayHead + std::string(u8"リンク確認の結果</title>\n<meta name=\"description\" content=\"") +
                      u8"リンク確認の結果\">\n<style>\n" + style +
                      u8"</style>\n</head>\n<body>\n<header>\n<h1>リンク確認の結果</h1>\n<p class=\"when\">確認した日時: "
                      u8"<time datetime=\"" + datetime + u8"\">" + when +
                      u8"</time></p>\n</header>\n<main class=\"report\">\n<section id=\"counts\">\n<h2>件数</h2>\n"
                      u8"<table class=\"counts\">\n";
    int total = 0;
    for (size_t k = 0; k < counts.size(); ++k) {
        out += u8"<tr><th scope=\"row\">" + std::string(words[k]) + u8"</th><td>" + std::to_string(counts[k]) +
               u8" 件</td></tr>\n";
        total += counts[k];
    }
    out += u8"<tr class=\"total\"><th scope=\"row\">合計</th><td>" + std::to_string(total) +
           u8" 件</td></tr>\n</table>\n</section>\n";
    for (const CReportSection& s : sections) {
        out += u8"<section id=\"" + s.id + u8"\">\n<h2>" + s.word + u8"<span class=\"count\">" +
               std::to_string(s.links.size()) + u8" 件</span></h2>\n<p class=\"about\">" + s.about + u8"</p>\n<ul>\n";
        for (const CReportLink& l : s.links) {
            out += u8"<li><p class=\"name\">" + l.name + u8"</p>\n<p><a href=\"" + l.href + u8"\">" + l.href +
                   u8"</a></p>\n";
            if (!l.moved.empty())
                out += u8"<p>移転先: <a href=\"" + l.moved + u8"\">" + l.moved + u8"</a></p>\n";
            out += u8"<p class=\"info\">ジャンル: " + l.genre + u8"　" + l.status + u8"</p></li>\n";
        }
        out += u8"</ul>\n</section>\n";
    }
    if (!none.empty())
        out += u8"<p class=\"about\">" + none + u8"</p>\n";
    return out + u8"</main>\n<footer>\n<p><a href=\"" + kHomePage +
           u8"\">Orvelle v4.00</a></p>\n</footer>\n</body>\n</html>\n";
}

// What text mode makes of the line feeds.
inline std::string Crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

}  // namespace page
