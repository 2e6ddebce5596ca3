// Names and texts compared as Windows compares them: file names without regard to letter case
// (beyond ASCII too), short 8.3 names, wildcard patterns, and the order of a sorted list box.
// All texts are UTF-8, the program's code page.
#pragma once

#include "platform.h"

#include <cstdint>
#include <string>

namespace sim
{

// A file name's letters in upper case, as the file system compares names: ASCII, Latin-1,
// Latin Extended-A, Greek, Cyrillic and full-width Latin letters. Bytes that are not UTF-8 stay.
std::string FoldCase(const std::string &name);

// The same letters in lower case, as CharLowerA gives them.
std::string LowerCase(const std::string &text);

// The 8.3 short name Windows gives a long name ("BIRD03~1.WAV" for "bird03.wave"), or "" for a
// name that is a valid 8.3 name itself.
std::string ShortName(const std::string &name);

// * and ? against a name, without regard to letter case.
bool WildcardMatch(const std::string &pattern, const std::string &name);
// As FindFirstFileA matches: the long name or its short name.
bool FileNameMatches(const std::string &pattern, const std::string &name);

// The order of a sorted list box (CompareString with NORM_IGNORECASE in the default locale):
// punctuation before digits before letters, hyphens and apostrophes ignored unless they alone
// tell two texts apart, accents and widths only when nothing else does. Negative, zero or
// positive.
int CompareTexts(const std::string &a, const std::string &b);

} // namespace sim
