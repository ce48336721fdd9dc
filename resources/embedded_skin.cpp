#include "embedded_skin.h"

namespace {
#include "embedded_skin.inc"
}  // namespace

namespace xl {

const std::span<const unsigned char> kEmbeddedSkin{kSkinBytes};

}  // namespace xl
