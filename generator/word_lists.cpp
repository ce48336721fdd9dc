#include "word_lists.h"

#include <algorithm>
#include <limits>

#include "platform/core/platform.h"
#include "platform/core/random.h"

namespace xl {

SentenceLists g_lists;

LoadedList LoadWordList(std::string_view file_name) {
    platform::FileContents contents =
        platform::ReadWholeFile(platform::PathBesideProgram(file_name));
    const bool has_bytes = !contents.bytes.empty();
    return {SplitText(BytesToText(std::move(contents.bytes)), "\r\n"), contents.unreadable,
            has_bytes};
}

LoadedList RestoreDefaultWordList(std::string_view file_name, std::string_view default_text) {
    // A failed write shows up as an empty list when it is read back.
    platform::WriteWholeFile(platform::PathBesideProgram(file_name), TextToBytes(default_text));
    return LoadWordList(file_name);
}

std::int64_t PickEntry(const WordList& list) {
    const std::int64_t count =
        std::min<std::int64_t>(list.Count(), std::numeric_limits<std::int32_t>::max());
    return RandomBetween(1, static_cast<std::int32_t>(count));
}

Text ComposeSentence(std::string_view adjective, std::string_view name, std::string_view place,
                     std::string_view event) {
    Text sentence;
    sentence.reserve(adjective.size() + name.size() + place.size() + event.size() + 4);
    sentence.append(adjective).append("的").append(name).append("在").append(place).append(event);
    return sentence;
}

}  // namespace xl
