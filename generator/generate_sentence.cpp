#include "generate_sentence.h"

#include <array>

#include "platform/core/platform.h"
#include "platform/core/random.h"
#include "resources/default_lists.h"
#include "resources/layouts.h"
#include "word_lists.h"

namespace xl {
namespace {

struct ListSource {
    WordList SentenceLists::*list;
    const char* file_name;
    const std::string_view* default_text;
};

// In sentence order, which is also the order in which files are read, restored and checked.
const std::array<ListSource, 4> kSources = {{
    {&SentenceLists::adjective, "形容词.txt", &kDefaultAdjectiveText},
    {&SentenceLists::name, "人名.txt", &kDefaultNameText},
    {&SentenceLists::place, "地点.txt", &kDefaultPlaceText},
    {&SentenceLists::event, "事件.txt", &kDefaultEventText},
}};

}  // namespace

void GenerateSentence() {
    // Every file is read before any is written.
    std::array<bool, 4> unreadable{};
    std::array<bool, 4> has_bytes{};
    for (std::size_t i = 0; i < kSources.size(); ++i) {
        LoadedList loaded = LoadWordList(kSources[i].file_name);
        g_lists.*kSources[i].list = std::move(loaded.list);
        unreadable[i] = loaded.unreadable;
        has_bytes[i] = loaded.has_bytes;
    }

    SeedRandomFromClock();

    // A list whose file is missing or empty gets its default, written to the file. A file that
    // holds bytes but no entries (it starts with a zero byte, as a UTF-16 file may) counts as
    // empty too, but the default is only used, never written over those bytes. A file that
    // exists but cannot be read keeps the user's words, and its empty list stops below.
    for (std::size_t i = 0; i < kSources.size(); ++i) {
        WordList& list = g_lists.*kSources[i].list;
        if (list.Count() != 0 || unreadable[i]) continue;
        list = has_bytes[i]
                   ? SplitText(Text(*kSources[i].default_text), "\r\n")
                   : RestoreDefaultWordList(kSources[i].file_name, *kSources[i].default_text).list;
    }

    // All four positions are drawn before any is checked.
    std::array<std::int64_t, 4> positions{};
    for (std::size_t i = 0; i < kSources.size(); ++i) {
        positions[i] = PickEntry(g_lists.*kSources[i].list);
    }
    const std::string_view adjective = g_lists.adjective.Entry(positions[0]);
    const std::string_view name = g_lists.name.Entry(positions[1]);
    const std::string_view place = g_lists.place.Entry(positions[2]);
    const std::string_view event = g_lists.event.Entry(positions[3]);

    platform::SetText(layout::kMainWindow, layout::kSentenceBox,
                      ComposeSentence(adjective, name, place, event));
}

}  // namespace xl
