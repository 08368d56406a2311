#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/LongPath.h"
#include "export/Export.h"
#include "links/Scan.h"
#include "support/FolderSources.h"

namespace {

TEST(PathDecision, LongFormFromTheFullPath) {
    const std::u16string cwd250 = u"C:\\" + std::u16string(246, u'd');  // 250 characters
    const std::u16string deep = u"C:\\" + std::u16string(300, u'e') + u"\\link.html";
    // Full paths one below and at the plain limit of 240 characters.
    const std::u16string below = u"C:\\" + std::u16string(236, u'b'), at = below + u"b";
    const struct {
        const char* name;
        std::u16string typed, full, want;
    } rows[] = {
        {"short absolute", u"C:\\Pages\\link.html", u"C:\\Pages\\link.html", u"C:\\Pages\\link.html"},
        {"relative, short folder", u"link.html", u"C:\\w\\link.html", u"link.html"},
        {"relative, folder of 250", u"link.html", cwd250 + u"\\link.html", u"\\\\?\\" + cwd250 + u"\\link.html"},
        {"genre page there", u"00000001.html", cwd250 + u"\\00000001.html",
         u"\\\\?\\" + cwd250 + u"\\00000001.html"},
        {"drive-relative", u"C:x.html", cwd250 + u"\\x.html", u"\\\\?\\" + cwd250 + u"\\x.html"},
        {"long absolute", deep, deep, u"\\\\?\\" + deep},
        {"slashes made whole", u"C:/a/" + std::u16string(300, u'f'), u"C:\\a\\" + std::u16string(300, u'f'),
         u"\\\\?\\C:\\a\\" + std::u16string(300, u'f')},
        {"share", u"\\\\srv\\s\\" + std::u16string(300, u'g'), u"\\\\srv\\s\\" + std::u16string(300, u'g'),
         u"\\\\?\\UNC\\srv\\s\\" + std::u16string(300, u'g')},
        {"device form is local", u"\\\\.\\C:\\" + std::u16string(300, u'h'), u"\\\\.\\C:\\" + std::u16string(300, u'h'),
         u"\\\\?\\C:\\" + std::u16string(300, u'h')},
        {"device form, short", u"\\\\.\\C:\\x.html", u"\\\\.\\C:\\x.html", u"\\\\.\\C:\\x.html"},
        {"already long form", u"\\\\?\\C:\\x", u"\\\\?\\C:\\x", u"\\\\?\\C:\\x"},
        {"one below the limit", u"x.html", below, u"x.html"},
        {"at the limit", u"x.html", at, u"\\\\?\\" + at},
        // Windows opens "C:\\a\\\\b" in the plain form; the long one takes it as it stands.
        {"doubled separators made single", u"C:\\a\\\\" + std::u16string(300, u'i'),
         u"C:\\\\a\\\\\\" + std::u16string(300, u'i') + u"\\\\x", u"\\\\?\\C:\\a\\" + std::u16string(300, u'i') + u"\\x"},
        {"doubled after the share", u"x", u"\\\\srv\\s\\\\" + std::u16string(300, u'j') + u"\\\\\\x",
         u"\\\\?\\UNC\\srv\\s\\" + std::u16string(300, u'j') + u"\\x"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(LongPathDecision(r.typed, r.full), r.want);
    }
}

TEST(PathDecision, RealNamesTakenVerbatim) {
    const struct {
        const char* name;
        std::u16string path, want;  // want empty: the platform must normalise
    } rows[] = {
        {"folder ending in a dot", u"C:\\Fav\\Dot.\\b.url", u"\\\\?\\C:\\Fav\\Dot.\\b.url"},
        {"folder ending in a space", u"C:\\Fav\\Inc \\", u"\\\\?\\C:\\Fav\\Inc \\"},
        {"listing pattern", u"C:\\Fav\\*.*", u"\\\\?\\C:\\Fav\\*.*"},
        {"share", u"\\\\srv\\s\\Fav\\a.url", u"\\\\?\\UNC\\srv\\s\\Fav\\a.url"},
        {"device form", u"\\\\.\\C:\\Fav\\a.url", u"\\\\?\\C:\\Fav\\a.url"},
        {"already long", u"\\\\?\\C:\\Fav.\\a.url", u"\\\\?\\C:\\Fav.\\a.url"},
        {"doubled separator", u"C:\\Fav\\\\a.url", u"\\\\?\\C:\\Fav\\a.url"},
        {"relative", u"Fav\\a.url", u""},
        {"drive-relative", u"C:Fav\\a.url", u""},
        {"slash", u"C:/Fav/a.url", u""},
        {"dot component", u"C:\\Fav\\.\\a.url", u""},
        {"dot-dot component", u"C:\\Fav\\..\\a.url", u""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(VerbatimPathForm(r.path), r.want);
    }
}

TEST(PathDecision, CompanionPageNamesRefused) {
    const struct {
        const char* name;
        int32_t style;
        bool refused;
    } rows[] = {
        {"LinkMenu.html", STYLE_FRAMES, true},
        {"linkmenu.HTML", STYLE_FRAMES, true},
        {"linkmenu.html", STYLE_INDEX, false},  // no menu page in this style
        {"linkmenu.html", STYLE_SINGLE, false},
        {"00000001.html", STYLE_INDEX, true},
        {"00000001.HTML", STYLE_FRAMES, true},
        {"00004995.html", STYLE_INDEX, true},
        {"00000001.html", STYLE_SINGLE, false},
        {"00000001.html", STYLE_ANCHORS, false},
        {"00000000.html", STYLE_INDEX, false},  // never written
        {"0000001.html", STYLE_INDEX, false},
        {"000000001.html", STYLE_INDEX, false},
        {"0000000a.html", STYLE_INDEX, false},
        {"00000001.htm", STYLE_INDEX, false},
        {"link.html", STYLE_FRAMES, false},
        {"linkmenu.html.bak", STYLE_FRAMES, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " style " + std::to_string(r.style));
        EXPECT_EQ(IsCompanionPageName(r.name, r.style), r.refused);
    }
}

TEST(PathDecision, CompanionFileNameOfTypedPaths) {
    // The portable sink's view of the main page's name; Windows resolves
    // the same through the full path.
    CStdioPageSink sink;
    EXPECT_EQ(sink.MainFileName("C:\\Pages\\fs/LinkMenu.html", HostName()), "LinkMenu.html");
    EXPECT_EQ(sink.MainFileName("C:00000001.html", HostName()), "00000001.html");
    EXPECT_EQ(sink.MainFileName("ソ\\表.html", HostName()), "表.html");
}

// A tree far deeper than any recursion could walk on a thread's stack.
TEST(PathDecision, DeepTreeWalkedWithoutRecursion) {
    CMemoryFolderSource source;
    source.favorites = "F";
    std::string folder = "F\\";
    const int kLevels = 10000;
    for (int i = 0; i < kLevels; ++i) {
        source.Add(folder, "d", kFolderAttributes);
        if (i % 2500 == 0) source.Add(folder, "s" + std::to_string(i) + ".url", 32);
        folder += "d\\";
    }
    source.Add(folder, "bottom.url", 32);
    CLinkList list;
    EXPECT_TRUE(ScanFolder("F\\", HostName(), source, list));
    ASSERT_EQ(list.Count(), 5u);
    size_t longest = 0;
    for (const CLinkEntry& e : list.Items()) longest = std::max(longest, e.text.size());
    EXPECT_EQ(longest, 2 + 2 * kLevels + 10u);  // "F\", the levels, "bottom.url"
}

}  // namespace
