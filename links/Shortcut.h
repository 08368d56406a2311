// The address of an Internet Shortcut file.
#pragma once
#include <string>

#include "core/LinkList.h"

// The text after the first "=" of the file's second whitespace-separated
// word (the first word when there is no second). Empty when the file cannot
// be opened, holds no word, or the word has no "=". Words are read whole,
// whatever their length; the file is closed before returning.
// An entry made from a text alone names the file by that text.
std::string ReadShortcutUrl(const CLinkEntry& entry);

// The address of a list entry: the one it carries (a bookmark), else what
// ReadShortcutUrl reads from its file.
std::string LinkAddress(const CLinkEntry& entry);
