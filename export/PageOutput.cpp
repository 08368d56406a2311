#include "export/PageOutput.h"

#include "core/HostFile.h"
#include "core/Text.h"

#include <cstdio>
#include <cstring>

namespace {

// A page file over a C runtime stream opened "wb". Line feeds are expanded
// into our own buffer, which goes out in large writes; the stream itself is
// unbuffered so that a failing write shows at once.
class CStdioPageFile : public IPageFile {
public:
    explicit CStdioPageFile(FILE* f) : m_file(f) { m_buffer.reserve(kChunk + 2); }
    ~CStdioPageFile() override {
        if (m_file) std::fclose(m_file);  // not closed by the caller: no report
    }

    bool Write(const char* data, size_t size) override {
        if (!m_ok || !m_file) return false;
        // Runs between line feeds are copied whole.
        const char* p = data;
        const char* const end = data + size;
        while (p < end) {
            const char* feed = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            const char* runEnd = feed ? feed : end;
            m_buffer.append(p, static_cast<size_t>(runEnd - p));
            if (feed) m_buffer.append("\r\n", 2);
            p = feed ? feed + 1 : end;
            if (m_buffer.size() >= kChunk && !Drain()) return false;
        }
        return true;
    }

    bool Close() override {
        if (!m_file) return false;  // a second close is a fault of the caller
        if (m_ok) Drain();
        if (m_ok && std::fflush(m_file) != 0) m_ok = false;
        if (std::fclose(m_file) != 0) m_ok = false;
        m_file = nullptr;
        return m_ok;
    }

private:
    static const size_t kChunk = 64 * 1024;

    bool Drain() {
        if (!m_buffer.empty() &&
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
            m_ok = false;
        m_buffer.clear();
        return m_ok;
    }

    FILE* m_file;
    std::string m_buffer;
    bool m_ok = true;
};

}  // namespace

std::unique_ptr<IPageFile> PageFileOver(std::FILE* file) {
    if (!file) return nullptr;
    std::setvbuf(file, nullptr, _IONBF, 0);
    return std::unique_ptr<IPageFile>(new CStdioPageFile(file));
}

std::unique_ptr<IPageFile> IPageSink::CreateMain(const std::string& path, const HostName&) { return Create(path); }

std::unique_ptr<IPageFile> IPageSink::CreateBeside(const std::string& mainPath, const HostName&,
                                                   const std::string& name) {
    return Create(BaseFolder(mainPath) + name);
}

std::string IPageSink::MainFileName(const std::string& mainPath, const HostName&) { return FileNameOf(mainPath); }

std::unique_ptr<IPageFile> CStdioPageSink::Create(const std::string& path) {
    // A path with a zero byte inside cannot name a file; refuse it rather
    // than open a shorter name.
    if (path.empty() || std::memchr(path.data(), '\0', path.size())) return nullptr;
    return PageFileOver(OpenHostFile(path, "wb"));
}
