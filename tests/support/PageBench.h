// A small page-writing bench: a dialog state with its list and genres set as
// the genre derivation leaves them, an in-memory sink and a shortcut reader
// over a table of addresses.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "support/MemorySink.h"
#include "core/Text.h"
#include "export/Pages.h"

struct CPageBench {
    CMainState state;
    CMemorySink sink;
    std::map<std::string, std::string> urls;
    int reads = 0;

    void Add(const std::string& path, const std::string& genre, const std::string& url) {
        state.m_genres[state.m_linkList.Count()] = genre;
        state.m_linkList.Append(path);
        urls[path] = url;
    }

    // The context as the Write command starts it: row genre = standard genre,
    // empty link text.
    CExportContext& Ctx() {
        if (!m_ctx) {
            m_ctx.reset(new CExportContext(state, sink, [this](const CLinkEntry& entry) {
                ++reads;
                auto it = urls.find(entry.text);
                return it == urls.end() ? std::string() : it->second;
            }));
            m_ctx->row.rowGenre = state.m_stdGenre;
        }
        return *m_ctx;
    }

private:
    std::unique_ptr<CExportContext> m_ctx;
};
