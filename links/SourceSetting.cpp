#include "links/SourceSetting.h"

namespace {

const struct {
    SourceKind kind;
    const char* prefix;
} kSettingPrefixes[] = {
    {SourceKind::Edge, "edge:"},
    {SourceKind::Chromium, "chromium:"},
    {SourceKind::Html, "html:"},
    {SourceKind::Firefox, "firefox:"},
};

}  // namespace

CSource ParseSourceSetting(const std::string& setting) {
    for (const auto& p : kSettingPrefixes) {
        const size_t n = std::char_traits<char>::length(p.prefix);
        if (setting.size() > n && setting.compare(0, n, p.prefix) == 0) return CSource{p.kind, setting.substr(n)};
    }
    return CSource();
}

std::string SourceSetting(const CSource& source) {
    for (const auto& p : kSettingPrefixes)
        if (p.kind == source.kind) return p.prefix + source.path;
    return std::string();
}
