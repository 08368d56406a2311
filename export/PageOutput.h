// Page files: written byte for byte, each line feed stored as CR LF.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

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
};

// The page sink over the C runtime's files (binary mode: the line feeds are
// turned into CR LF here, so every platform writes the same bytes).
class CStdioPageSink : public IPageSink {
public:
    std::unique_ptr<IPageFile> Create(const std::string& path) override;
};
