#include "links/Shortcut.h"

#include "core/HostFile.h"

#include <cstdio>
#include <cstring>

namespace {

// The C runtime of the Windows build reads the file in text mode, where a
// Ctrl-Z byte ends the file.
const unsigned char kEndOfFileMark = 0x1A;

// What a byte does to the scan for words; one table read per byte.
enum ByteClass : unsigned char { kWordByte, kSpaceByte, kEndByte };
struct ByteClasses {
    ByteClass of[256];
    constexpr ByteClasses() : of() {
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) of[c] = kSpaceByte;
        of[kEndOfFileMark] = kEndByte;
    }
};
constexpr ByteClasses kClasses;

// A name in the Favorites can lead to an endless stream (a link to a device):
// reading stops after this many bytes, far beyond any real shortcut file or
// address, so Write always ends.
const size_t kMaxShortcutBytes = 64u * 1024 * 1024;

// The text of one word, kept only from behind its first "=": a word was read
// into a C string buffer, so its text ends at its first NUL byte.
class CWordValue {
public:
    void Start() {
        m_value.clear();
        m_afterEquals = false;
        m_ended = false;
    }
    void Take(const unsigned char* bytes, size_t size) {
        if (m_ended) return;
        size_t i = 0;
        if (!m_afterEquals) {
            while (i < size && bytes[i] != '=' && bytes[i] != 0) ++i;
            if (i == size) return;
            if (bytes[i] == 0) {
                m_ended = true;
                return;
            }
            m_afterEquals = true;
            ++i;
        }
        // The rest of the run up to a NUL in one step.
        const void* nul = std::memchr(bytes + i, 0, size - i);
        const size_t end = nul ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - bytes) : size;
        m_value.append(reinterpret_cast<const char*>(bytes + i), end - i);
        m_ended = nul != nullptr;
    }
    std::string& Value() { return m_value; }

private:
    std::string m_value;
    bool m_afterEquals = false;
    bool m_ended = false;
};

}  // namespace

std::string ReadShortcutUrl(const CLinkEntry& entry) {
    std::FILE* file = OpenLinkFile(entry, "rb");
    if (!file) return std::string();

    CWordValue word;
    int wordsRead = 0;
    bool inWord = false;
    bool atEnd = false;
    // Shortcut files are small: one read of a stack buffer takes most of them
    // whole, and the stream keeps no buffer of its own.
    std::setvbuf(file, nullptr, _IONBF, 0);
    unsigned char chunk[8192];
    size_t total = 0;
    while (!atEnd && total < kMaxShortcutBytes) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (got == 0) break;  // end of file or a read error: both end the text
        total += got;
        size_t i = 0;
        while (i < got) {
            const ByteClass c = kClasses.of[chunk[i]];
            if (c == kEndByte) {
                atEnd = true;
                break;
            }
            if (c == kSpaceByte) {
                if (inWord) {
                    inWord = false;
                    if (wordsRead == 2) {
                        atEnd = true;
                        break;
                    }
                }
                ++i;
                continue;
            }
            if (!inWord) {
                // The second word is read over the first.
                inWord = true;
                ++wordsRead;
                word.Start();
            }
            size_t end = i;
            while (end < got && kClasses.of[chunk[end]] == kWordByte) ++end;
            word.Take(chunk + i, end - i);
            i = end;
        }
    }
    std::fclose(file);
    if (wordsRead == 0) return std::string();
    return std::move(word.Value());
}

std::string LinkAddress(const CLinkEntry& entry) {
    return entry.HasAddress() ? entry.Address() : ReadShortcutUrl(entry);
}
