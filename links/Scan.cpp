#include "links/Scan.h"

#include "core/Text.h"

#include <vector>

namespace {

// Only the last three bytes count, in lower case; a name of three bytes or
// fewer is compared whole, so only "url" itself matches among those.
bool EndsInUrl(const std::string& name) {
    if (name.size() < 3) return false;
    return name.compare(name.size() - 3, 3, "url") == 0;
}

}  // namespace

bool ScanFolder(const std::string& folderPath, const HostName& realFolder, IFolderSource& source,
                CLinkList& list) {
    // Depth first with a stack of open listings rather than by recursion: a
    // tree thousands of folders deep (the long path form allows it) must not
    // exhaust the stack. The paths of all levels share one string each.
    struct Level {
        std::unique_ptr<IFolderListing> listing;
        size_t textSize;
        size_t realSize;
        bool realIsText;  // the real path so far is what the text gives back
    };
    std::string text = folderPath;
    HostName real = realFolder;
    const bool knowsRealNames = !realFolder.empty();
    std::vector<Level> stack;
    std::unique_ptr<IFolderListing> first = source.List(text + "*.*", real);
    if (!first) return true;  // a folder that cannot be listed adds nothing
    // An entry keeps its real path only where the text does not give it
    // back: one path per entry costs as much memory as the list itself.
    stack.push_back(Level{std::move(first), text.size(), real.size(), knowsRealNames && GivesBackRealName(text, real)});

    FolderEntry entry;
    while (!stack.empty()) {
        Level& level = stack.back();
        if (!level.listing->Next(entry)) {
            stack.pop_back();
            continue;
        }
        text.resize(level.textSize);
        real.resize(level.realSize);
        if (entry.name == "." || entry.name == "..") continue;
        if (entry.attributes == kFolderAttributes) {
            text += entry.name;
            text += kSeparator;
            if (knowsRealNames) {
                real += entry.realName;
                real += kHostSeparator;
            }
            const bool realIsText = level.realIsText && GivesBackRealName(entry.name, entry.realName);
            std::unique_ptr<IFolderListing> sub = source.List(text + "*.*", knowsRealNames ? real : HostName());
            if (sub) stack.push_back(Level{std::move(sub), text.size(), real.size(), realIsText});
        } else if (EndsInUrl(entry.name)) {
            if (list.Count() >= kMaxLinks) return false;
            CLinkEntry link(text + entry.name);
            if (knowsRealNames && !(level.realIsText && GivesBackRealName(entry.name, entry.realName)))
                link.realPath = real + entry.realName;
            list.AddSorted(std::move(link));
        }
    }
    return true;
}
