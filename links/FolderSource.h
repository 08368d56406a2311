// What the Favorites scan needs of the platform's file system.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

// One entry of a folder listing: its name alone and its attribute word.
struct FolderEntry {
    std::string name;
    uint32_t attributes = 0;
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
    // The Favorites folder path, or false when the platform cannot supply it.
    virtual bool FavoritesPath(std::string& path) = 0;
    // Starts a listing of |pattern| (folder path + "*.*"); null when the
    // folder cannot be listed at all.
    virtual std::unique_ptr<IFolderListing> List(const std::string& pattern) = 0;
};
