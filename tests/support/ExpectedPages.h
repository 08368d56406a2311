// The page fragments as the pages must carry them, typed in by hand so that
// the expected pages never come from the program under test. "\n" stands for
// the line feed that text mode stores as CR LF (see Crlf).
#pragma once
#include <cstdio>
#include <string>

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
