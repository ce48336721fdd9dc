#include "platform/core/platform.h"
#include "program_main.h"

int main() { return xl::platform::Run(xl::ProgramMain); }
