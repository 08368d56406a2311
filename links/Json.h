// JSON files of browsers (Bookmarks, AccountBookmarks, Local State), read
// through RapidJSON.
#pragma once
#include <rapidjson/document.h>

#include <string>

// Parses |json| in place into |doc| without recursing, so that a file nested
// thousands deep cannot exhaust the stack. A UTF-8 byte order mark at the
// start is passed over (a hand-edited file may carry one), and a surrogate
// escaped alone ("\uD800" without its partner), which would make the parser
// refuse the whole file, becomes "\uFFFD". False when |json| is not JSON.
// |json| is left unusable; |doc|'s strings point into it.
bool ParseJsonInPlace(std::string& json, rapidjson::Document& doc);

// A member of |object|, or null when |object| is no object or has none.
const rapidjson::Value* JsonMember(const rapidjson::Value& object, const char* name);

// A string value as UTF-16 (ill-formed UTF-8 as U+FFFD).
std::u16string JsonText(const rapidjson::Value& value);
