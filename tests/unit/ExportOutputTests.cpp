#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"
#include "export/PageOutput.h"

TEST(ExportStdioSink, LineFeedsBecomeCrLfOtherBytesStay) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string zero("\0", 1);
    const struct { std::string in, out; } rows[] = {
        {"a\nb\n", "a\r\nb\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"\r\n", "\r\r\n"},  // an existing CR is a byte like any other
        {"\x1A" + zero + "\xFF\x83\x5C", "\x1A" + zero + "\xFF\x83\x5C"},
        {"", ""},
    };
    CStdioPageSink sink;
    for (const auto& r : rows) {
        CTempDir::Put("page.html", "older and longer content");
        auto f = sink.Create("page.html");
        ASSERT_TRUE(f);
        EXPECT_TRUE(f->Write(r.in));
        EXPECT_TRUE(f->Close());
        EXPECT_EQ(CTempDir::Get("page.html"), r.out);
    }
}

TEST(ExportStdioSink, LargePagesArriveWhole) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CStdioPageSink sink;
    auto f = sink.Create("big.html");
    ASSERT_TRUE(f);
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        std::string line = "row " + std::to_string(i) + "\n";
        ASSERT_TRUE(f->Write(line));
        expected += "row " + std::to_string(i) + "\r\n";
    }
    ASSERT_TRUE(f->Close());
    EXPECT_EQ(CTempDir::Get("big.html"), expected);
}

TEST(ExportStdioSink, NamesThatCannotBeOpened) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CTempDir::MakeFolder("C:\\web\\00000001.html");
    CStdioPageSink sink;
    const std::string rows[] = {"", "missing/x.html", "C:\\web\\00000001.html",
                                std::string("a\0b", 3)};
    for (const auto& name : rows) EXPECT_FALSE(sink.Create(name)) << name;
    EXPECT_FALSE(CTempDir::Exists("a"));
}

// A full disk: the failure shows at the write that reaches the device, or
// at the close, and is never lost.
TEST(ExportStdioSink, FullDiskIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no full device";
    CStdioPageSink sink;
    {
        auto f = sink.Create("/dev/full");
        ASSERT_TRUE(f);
        EXPECT_TRUE(f->Write("small\n"));  // still in our buffer
        EXPECT_FALSE(f->Close());
    }
    {
        auto f = sink.Create("/dev/full");
        ASSERT_TRUE(f);
        std::string big(200000, 'x');
        EXPECT_FALSE(f->Write(big));
        EXPECT_FALSE(f->Write("more"));  // stays failed
        EXPECT_FALSE(f->Close());
    }
    {
        auto f = sink.Create("/dev/full");
        ASSERT_TRUE(f);
        EXPECT_TRUE(f->Close());  // nothing written, nothing lost
    }
}
