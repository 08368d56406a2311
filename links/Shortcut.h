// The address of an Internet Shortcut file.
#pragma once
#include <string>

// The text after the first "=" of the file's second whitespace-separated
// word (the first word when there is no second). Empty when the file cannot
// be opened, holds no word, or the word has no "=". Words are read whole,
// whatever their length; the file is closed before returning.
std::string ReadShortcutUrl(const std::string& path);
