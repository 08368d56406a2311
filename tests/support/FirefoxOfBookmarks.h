// A generated Bookmarks file's tree as Firefox keeps it, for the benches:
// the same bookmarks in the same folders.
#pragma once
#include <rapidjson/document.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "support/FirefoxStore.h"

namespace firefox {

// The generated tree as Firefox keeps it, the same bookmarks in the same
// folders: "bookmark_bar" in the toolbar, "other" in the menu (both lie in
// the tree's root), "synced" in the mobile root. Its texts live in |texts|.
struct CPlacesOfTree {
    std::deque<std::string> texts;
    std::vector<CItem> items;
    size_t mobileFrom = 0;  // the mobile root's items from here on
};

inline void AddPlaces(const rapidjson::Value& children, long parent, CPlacesOfTree& out, long* nextId)
{
    if (!children.IsArray())
        return;
    int position = 0;
    for (const rapidjson::Value& node : children.GetArray()) {
        const bool folder = node.HasMember("type") && std::string(node["type"].GetString()) == "folder";
        const long id = (*nextId)++;
        char guid[16];
        snprintf(guid, sizeof guid, "g%011ld", id);
        out.texts.push_back(guid);
        const char* guidText = out.texts.back().c_str();
        out.texts.push_back(node.HasMember("name") ? node["name"].GetString() : "");
        const char* title = out.texts.back().c_str();
        const char* url = nullptr;
        if (!folder && node.HasMember("url")) {
            out.texts.push_back(node["url"].GetString());
            url = out.texts.back().c_str();
        }
        const int type = folder ? kFolder : kBookmark;
        out.items.push_back({id, type, parent, position++, title, guidText, url});
        if (folder && node.HasMember("children"))
            AddPlaces(node["children"], id, out, nextId);
    }
}

inline bool PlacesOfBookmarks(const std::string& json, CPlacesOfTree& out)
{
    rapidjson::Document doc;
    doc.Parse(json.c_str());
    if (doc.HasParseError() || !doc.IsObject() || !doc.HasMember("roots"))
        return false;
    const rapidjson::Value& roots = doc["roots"];
    out.items = Roots();
    long nextId = 100;
    const struct {
        const char* key;
        long root;
    } kRoots[] = {{"other", 2}, {"bookmark_bar", 3}, {"synced", 6}};
    for (const auto& r : kRoots) {
        if (r.root == 6)
            out.mobileFrom = out.items.size();
        if (roots.HasMember(r.key) && roots[r.key].HasMember("children"))
            AddPlaces(roots[r.key]["children"], r.root, out, &nextId);
    }
    return true;
}

}  // namespace firefox
