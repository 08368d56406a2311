// Which form of a path passes Windows' 260-character limit and names
// exactly the file meant. Portable decisions, so that they can be tested
// anywhere; the Win32 side supplies the full paths (GetFullPathNameW).
#pragma once
#include <string>
#include <string_view>

// Below this length every Win32 call takes the plain form, folder creation
// included (it reserves room for an 8.3 name).
const size_t kPlainPathLimit = 240;

// The form to give Windows for |typed|, whose full path the platform made
// |full|: the typed form while the full path is short, else the "\\?\" form
// of the full path ("\\server\share" as "\\?\UNC\server\share", "\\.\" as
// "\\?\"). A path that is already in the "\\?\" form stays as it is.
std::u16string LongPathDecision(std::u16string_view typed, std::u16string_view full);

// The "\\?\" form of a full path built from real names (a listed folder
// joined with the names its listing gave), taken verbatim: Windows must not
// normalise it again, which would drop a trailing dot or space of a folder
// name and so name another folder. Empty when |path| is not such a path (not
// absolute, or holding "/" or a "." or ".." component): it then needs the
// platform's normalisation.
std::u16string VerbatimPathForm(std::u16string_view path);
