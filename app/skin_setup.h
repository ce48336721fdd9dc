#pragma once

namespace xl {

// Writes the built-in skin beside the program if no file of its name is there, then hands its
// path to the skin library.
void SetUpSkin();

}  // namespace xl
