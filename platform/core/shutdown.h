// The one routine that runs at the orderly end. A run-time error stop drops it.
#pragma once

namespace xl {

using ShutdownRoutine = void (*)();

void RegisterShutdownRoutine(ShutdownRoutine routine);

// Runs the registered routine once; later calls do nothing.
void RunShutdownRoutine();

void DropShutdownRoutine();

}  // namespace xl
