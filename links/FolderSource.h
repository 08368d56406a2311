// What the Favorites scan needs of the platform's file system.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "core/HostFile.h"

// One entry of a folder listing: its name alone as the program's text, its
// attribute word, and its name as the platform spells it.
struct FolderEntry {
    FolderEntry() = default;
    FolderEntry(std::string entryName, uint32_t entryAttributes, HostName entryRealName = HostName())
        : name(std::move(entryName)), attributes(entryAttributes), realName(std::move(entryRealName)) {}

    std::string name;
    uint32_t attributes = 0;
    HostName realName;
};

const uint32_t kFolderAttributes = 16;  // the directory bit and no other

// An open listing of one folder; closed when destroyed.
class IFolderListing {
public:
    virtual ~IFolderListing() = default;
    // The next entry into |entry|; false when the listing has ended, normally
    // or not.
    virtual bool Next(FolderEntry& entry) = 0;
};

class IFolderSource {
public:
    virtual ~IFolderSource() = default;
    // The Favorites folder as a text and as its real path (empty when the
    // source knows no real names), or false when the platform cannot supply it.
    virtual bool FavoritesPath(std::string& path, HostName& realPath) = 0;
    // Starts a listing of every entry of one folder: |pattern| is its text
    // path followed by "*.*", |realFolder| its real path ending in the
    // separator. Null when the folder cannot be listed at all.
    virtual std::unique_ptr<IFolderListing> List(const std::string& pattern, const HostName& realFolder) = 0;
};
