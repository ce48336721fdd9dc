#include "shutdown.h"

namespace xl {
namespace {

ShutdownRoutine g_routine = nullptr;

}  // namespace

void RegisterShutdownRoutine(ShutdownRoutine routine) { g_routine = routine; }

void RunShutdownRoutine() {
    ShutdownRoutine routine = g_routine;
    g_routine = nullptr;
    if (routine) routine();
}

void DropShutdownRoutine() { g_routine = nullptr; }

}  // namespace xl
