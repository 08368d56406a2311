#include "export/Fragments.h"

#include <cstdio>
#include <cstring>

const char kHeadTitle[] = "<HTML>\n<HEAD>\n<TITLE>%s</TITLE>\n";
const char kHeadDefaultTitle[] = "<HTML>\n<HEAD>\n<TITLE>My Link</TITLE>\n";
const char kFrameset[] =
    "<FRAMESET COLS=\"200,*\">\n<FRAME SRC=\"linkmenu.html\">\n"
    "<FRAME SRC=\"linkmenu.html\" NAME=\"_CONTENT\">\n<NOFRAMES>\n";
const char kHeadEndScript[] =
    "<SCRIPT LANGUAGE=\"JavaScript\">\n<!--\nfunction goback()\n{\n"
    "if (window.history.length == 0)\n{\nwindow.close();\n}\nelse\n{\n"
    "window.history.back()\n}\n}//-->\n</SCRIPT>\n</HEAD><BODY>\n";
const char kHeadEnd[] = "</HEAD>\n<BODY>\n";
const char kTopAnchor[] = "<A NAME=\"TOP\">\n";
const char kBackLinkScript[] =
    "<SCRIPT LANGUAGE=\"JavaScript\">\n<!--\n"
    "document.writeln('<A HREF=\"javascript:goback();\" TARGET=\"_top\">戻る</a>');\n"
    "//-->\n</script>";
const char kBackLink[] = "<A HREF=\"%s\" TARGET=\"_top\">戻る</A>\n";
const char kHeading[] = "<H1>%s</H1>\n";
const char kHeadingDefault[] = "<H1>わたしのお気に入り</H1>\n";
const char kAnchorIndexItem[] = "<NOBR><a href=\"#%s\">[%s]</A>　</NOBR>";
const char kAnchorIndexEnd[] = "<HR>";
const char kTableHead[] = "<TABLE BORDER=1>\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\n";
const char kGenreBreak[] =
    "</TABLE>\n<A NAME=\"%s\"><A HREF=\"#TOP\">▲</A><BR>\n"
    "<TABLE BORDER=1>\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\n";
const char kLinkRow[] = "<TR><TD>%s</TD><TD><A HREF=\"%s\" TARGET=\"_top\">%s</A></TD></TR>\n";
const char kFooter[] =
    "</TABLE>\n<P align=\"right\"><A HREF=\"%s\" TARGET=\"_top\">Orvelle v%s</A></P>\n";
const char kNoFramesEnd[] = "</NOFRAMES>\n";
const char kPageEnd[] = "</BODY>\n</HTML>\n";
const char kIndexItem[] = "<NOBR><a href=\"%08d.html\">[%s]</A>　</NOBR><BR>";
const char kMenuItem[] = "<NOBR><a href=\"%08d.html\" TARGET=\"_CONTENT\">[%s]</A>　</NOBR><BR>";
const char kIndexEnd[] = "</BODY></HTML>";
const char kGenrePageStart[] = "<HTML>\n<HEAD>\n";
const char kGenrePageBack[] = "</HEAD>\n<BODY>\n<A HREF=\"%s\" TARGET=\"_top\">戻る</A>\n";
const char kGenrePageHeading[] =
    "<H1>%s</H1>\n<TABLE BORDER=\"1\">\n<TR><TD>ジャンル</TD><TD>リンク</TD></TR>\n";

const char kMenuPageName[] = "linkmenu.html";
const char kGenrePageName[] = "%08d.html";

void AppendFragment(std::string& out, const char* fragment,
                    std::initializer_list<FragmentArg> args) {
    const FragmentArg* next = args.begin();
    const char* p = fragment;
    while (*p) {
        // Copy the plain run up to the next placeholder in one step.
        const char* pct = std::strchr(p, '%');
        if (!pct) {
            out.append(p);
            break;
        }
        out.append(p, static_cast<size_t>(pct - p));
        const FragmentArg* arg = next != args.end() ? next++ : nullptr;
        if (pct[1] == 's') {
            if (arg && !arg->isNumber) out.append(arg->text.data(), arg->text.size());
            p = pct + 2;
        } else if (std::strncmp(pct, "%08d", 4) == 0) {
            if (arg && arg->isNumber) {
                char digits[32];  // a long never needs more
                int len = std::snprintf(digits, sizeof digits, "%08ld", arg->number);
                if (len > 0) out.append(digits, static_cast<size_t>(len));
            }
            p = pct + 4;
        } else {
            // No fragment holds another percent sign; keep it as it stands.
            if (arg) --next;
            out.push_back('%');
            p = pct + 1;
        }
    }
}

std::string FormatFragment(const char* fragment, std::initializer_list<FragmentArg> args) {
    std::string out;
    AppendFragment(out, fragment, args);
    return out;
}
