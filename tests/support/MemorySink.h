// A page sink that keeps every file in memory and can be told to fail an
// open, a write or a close of the n-th file, so that the export's handling of
// each failure can be watched.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "export/PageOutput.h"

class CMemorySink : public IPageSink {
public:
    struct File {
        std::string path;
        std::string bytes;     // as stored: each 0x0A written as 0x0D 0x0A
        int closes = 0;
        bool writeAfterClose = false;
    };

    // Index (0-based, counting every Create call) of the call that fails.
    int failOpenAt = -1;
    // Index of the opened file whose writes fail once it holds this many bytes.
    int failWriteAt = -1;
    size_t failWriteAfter = 0;
    // Index of the opened file whose close reports failure.
    int failCloseAt = -1;

    std::vector<std::shared_ptr<File>> files;  // opened files, in order
    std::vector<std::string> events;           // "open:<path>", "fail:<path>", "close:<path>"
    int openNow = 0;
    int mostOpen = 0;

    std::unique_ptr<IPageFile> Create(const std::string& path) override {
        int call = m_calls++;
        if (call == failOpenAt) {
            events.push_back("fail:" + path);
            return nullptr;
        }
        auto file = std::make_shared<File>();
        file->path = path;
        int index = static_cast<int>(files.size());
        files.push_back(file);
        events.push_back("open:" + path);
        ++openNow;
        if (openNow > mostOpen) mostOpen = openNow;
        return std::unique_ptr<IPageFile>(new CFile(*this, file, index));
    }

    // The bytes of the last file opened under |path|; "<none>" when none was.
    std::string Content(const std::string& path) const {
        for (auto it = files.rbegin(); it != files.rend(); ++it)
            if ((*it)->path == path) return (*it)->bytes;
        return "<none>";
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> out;
        for (const auto& f : files) out.push_back(f->path);
        return out;
    }

private:
    class CFile : public IPageFile {
    public:
        CFile(CMemorySink& sink, std::shared_ptr<File> file, int index)
            : m_sink(sink), m_file(std::move(file)), m_index(index) {}
        ~CFile() override {
            if (!m_closed) --m_sink.openNow;
        }
        bool Write(const char* data, size_t size) override {
            if (m_closed) {
                m_file->writeAfterClose = true;
                return false;
            }
            if (m_failed) return false;
            for (size_t i = 0; i < size; ++i) {
                if (m_index == m_sink.failWriteAt && m_file->bytes.size() >= m_sink.failWriteAfter) {
                    m_failed = true;
                    return false;
                }
                if (data[i] == '\n') m_file->bytes.push_back('\r');
                m_file->bytes.push_back(data[i]);
            }
            return true;
        }
        bool Close() override {
            ++m_file->closes;
            if (!m_closed) --m_sink.openNow;
            m_closed = true;
            m_sink.events.push_back("close:" + m_file->path);
            return !m_failed && m_index != m_sink.failCloseAt;
        }

    private:
        CMemorySink& m_sink;
        std::shared_ptr<File> m_file;
        int m_index;
        bool m_closed = false;
        bool m_failed = false;
    };

    int m_calls = 0;
};
