// The fixed texts of every page and the page file names. The footer's
// version and home page come from core/Texts.h.
#pragma once
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

extern const char kHeadTitle[];
extern const char kHeadDefaultTitle[];
extern const char kFrameset[];
extern const char kHeadEndScript[];
extern const char kHeadEnd[];
extern const char kTopAnchor[];
extern const char kBackLinkScript[];
extern const char kBackLink[];
extern const char kHeading[];
extern const char kHeadingDefault[];
extern const char kAnchorIndexItem[];
extern const char kAnchorIndexEnd[];
extern const char kTableHead[];
extern const char kGenreBreak[];
extern const char kLinkRow[];
extern const char kFooter[];
extern const char kNoFramesEnd[];
extern const char kPageEnd[];
extern const char kIndexItem[];
extern const char kMenuItem[];
extern const char kIndexEnd[];
extern const char kGenrePageStart[];
extern const char kGenrePageBack[];
extern const char kGenrePageHeading[];

extern const char kMenuPageName[];
extern const char kGenrePageName[];

// One value for a placeholder: a text for %s, a number for %08d.
struct FragmentArg {
    FragmentArg(const std::string& s) : text(s) {}
    FragmentArg(const char* s) : text(s) {}
    FragmentArg(std::string_view s) : text(s) {}
    FragmentArg(long n) : number(n), isNumber(true) {}
    FragmentArg(int n) : number(n), isNumber(true) {}

    std::string_view text;
    long number = 0;
    bool isNumber = false;
};

// Appends |fragment| to |out| with its placeholders filled in order: %s takes
// a text byte for byte (any length, no escaping), %08d a number padded with
// zeros to eight digits. A placeholder without a value of its kind, or
// beyond the values given, is left empty; values left over are ignored.
void AppendFragment(std::string& out, const char* fragment,
                    std::initializer_list<FragmentArg> args = {});

// The same into a new string.
std::string FormatFragment(const char* fragment, std::initializer_list<FragmentArg> args = {});
