// The four word lists of a sentence, their files beside the program and their defaults.
#pragma once

#include <string_view>

#include "platform/core/word_list.h"

namespace xl {

// Process-wide; created empty at start-up, reloaded by every press of Generate, released at the
// orderly end.
struct SentenceLists {
    WordList adjective;
    WordList name;
    WordList place;
    WordList event;
};
extern SentenceLists g_lists;

struct LoadedList {
    WordList list;
    // The file exists but could not be read; its words must not be replaced by a default.
    bool unreadable = false;
    // The file gave bytes, even if none of them reached an entry (the first was a zero byte).
    bool has_bytes = false;
};

// The list read from the file of that name beside the program: entries cut at CR LF.
LoadedList LoadWordList(std::string_view file_name);

// Writes the default text to the file, then reads the list back from it.
LoadedList RestoreDefaultWordList(std::string_view file_name, std::string_view default_text);

// A 1-based position drawn uniformly from 1 to the list's count; 0 or 1 for an empty list.
std::int64_t PickEntry(const WordList& list);

// description + "的" + name + "在" + place + action.
Text ComposeSentence(std::string_view adjective, std::string_view name, std::string_view place,
                     std::string_view event);

}  // namespace xl
