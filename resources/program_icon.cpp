#include "program_icon.h"

namespace {
#include "program_icon.inc"
}  // namespace

namespace xl {

const std::span<const unsigned char> kProgramIconPng{kIconBytes};

}  // namespace xl
