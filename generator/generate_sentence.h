#pragma once

namespace xl {

// The handler of the Generate button: reloads the four lists, restores the defaults of those
// that came out empty, and shows a sentence of one random entry from each.
void GenerateSentence();

}  // namespace xl
