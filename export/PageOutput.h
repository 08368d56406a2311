// Page files: written byte for byte, each line feed stored as CR LF.
#pragma once
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "core/HostFile.h"

// One open page file.
class IPageFile {
public:
    virtual ~IPageFile() = default;
    // Writes |size| bytes; every 0x0A goes out as 0x0D 0x0A, every other byte
    // unchanged. Returns false once any write has failed.
    virtual bool Write(const char* data, size_t size) = 0;
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    // Flushes and closes; false when any write or the close failed. Called
    // exactly once.
    virtual bool Close() = 0;
};

// Opens page files by path.
class IPageSink {
public:
    virtual ~IPageSink() = default;
    // Creates or empties |path| for writing; null when it cannot be opened.
    virtual std::unique_ptr<IPageFile> Create(const std::string& path) = 0;

    // The main output file |path|, or its real path |realPath| where the
    // user chose it in a dialog (not empty). By the text alone here.
    virtual std::unique_ptr<IPageFile> CreateMain(const std::string& path, const HostName& realPath);
    // A companion page |name| (the menu page, a genre page) in the folder
    // that the main output file |mainPath| (|mainReal|) is written to, so
    // that the main page's relative links reach it. Here the text of
    // |mainPath| up to its last separator.
    virtual std::unique_ptr<IPageFile> CreateBeside(const std::string& mainPath, const HostName& mainReal,
                                                    const std::string& name);
    // The file name that the main output file gets (after its last "\", "/"
    // or ":" here; the platform may know better).
    virtual std::string MainFileName(const std::string& mainPath, const HostName& mainReal);
};

// The page file over an open stream (closed with it).
std::unique_ptr<IPageFile> PageFileOver(std::FILE* file);

// The page sink over the C runtime's files (binary mode: the line feeds are
// turned into CR LF here, so every platform writes the same bytes).
class CStdioPageSink : public IPageSink {
public:
    std::unique_ptr<IPageFile> Create(const std::string& path) override;
};
