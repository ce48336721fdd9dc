#pragma once

namespace xl {

// The program's main routine: start-up, the message loop, and 0 when the loop has ended.
int ProgramMain();

}  // namespace xl
