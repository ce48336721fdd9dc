#include "default_lists.h"

namespace {
#include "adjectives.inc"
#include "events.inc"
#include "names.inc"
#include "places.inc"
}  // namespace

namespace xl {

// sizeof - 1 leaves the literal's terminating zero out of the text.
const std::string_view kDefaultAdjectiveText{kAdjectives, sizeof kAdjectives - 1};
const std::string_view kDefaultNameText{kNames, sizeof kNames - 1};
const std::string_view kDefaultPlaceText{kPlaces, sizeof kPlaces - 1};
const std::string_view kDefaultEventText{kEvents, sizeof kEvents - 1};

}  // namespace xl
