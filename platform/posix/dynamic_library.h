// The libraries that BindLibraryFunction loaded, for the backends of POSIX systems.
#pragma once

namespace xl::posix {

// Unloads every library bound so far, newest first. The orderly end and the run-time error stop
// call it; a function bound before is not to be called afterwards.
void ReleaseLibraries();

}  // namespace xl::posix
