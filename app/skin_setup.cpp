#include "skin_setup.h"

namespace xl {

void SetUpSkin() {}

}  // namespace xl
