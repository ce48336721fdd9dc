// What every backend provides to the rest of the program: windows built from designs, their
// controls, the message loop, files beside the program, the clipboard and the default browser.
// Texts cross this line as GBK; a backend converts at its own edge.
#pragma once

#include <span>
#include <string_view>

#include "text.h"
#include "window_design.h"

namespace xl {

namespace platform {

// Runs the program's main routine once, then the orderly end: the registered shutdown routine,
// the release of loaded libraries. The result is the process's exit code.
int Run(int (*program_main)());

// Start-up: takes the run directory from the executable's path and makes it the current
// directory, sets up the toolkit and reads the window designs, resolving every handler name.
// Designs that cannot be read stop the program.
void SetUp(std::span<const WindowDesign* const> windows, std::span<const HandlerBinding> handlers);

// Creates the window and its controls, starts its timers, runs its creation handler, then shows
// it centred on the primary screen. Failure stops the program.
void LoadStartupWindow(const WindowDesign& window);

// Creates the window afresh as a modal dialog of `parent` and returns when it has been closed,
// running a nested loop meanwhile. False when the window could not be loaded.
bool LoadDialog(const WindowDesign& window, const WindowDesign& parent);

// Delivers events until the last window of the program has been destroyed. Returns at once when
// no window exists.
void RunMessageLoop();

// Controls of a window that is open, by design name. An unknown name is a fault of the program
// and stops it.
Text GetText(const WindowDesign& window, std::string_view control);
void SetText(const WindowDesign& window, std::string_view control, const Text& text);
void SetFocus(const WindowDesign& window, std::string_view control);
int ComboSelection(const WindowDesign& window, std::string_view control);
void SetBrowserAddress(const WindowDesign& window, std::string_view control, const Text& address);
void RedrawNow(const WindowDesign& window, std::string_view control);

// The directory of the executable, without a trailing separator.
const Text& RunDirectory();

// RunDirectory, the separator and the name.
Text PathBesideProgram(std::string_view name);

struct FileContents {
    Bytes bytes;
    // The path names something that exists but cannot be read as a file: a directory, a device,
    // a file another program is writing, a file without read permission. Such a path is never
    // overwritten with a default.
    bool unreadable = false;
};

// All bytes of a regular file; no bytes when it is missing, empty or unreadable. Never blocks on
// what is not a regular file, and reads no more than the size the file had when opened.
FileContents ReadWholeFile(const Text& path);

// Creates or truncates the file with exclusive access and writes the bytes. False for an empty
// path, a path that is not a regular file, a file that cannot be opened or a failed write.
bool WriteWholeFile(const Text& path, std::string_view bytes);

// True when a file or directory of exactly that path exists. Does not open it.
bool FileExists(const Text& path);

// Hands the address to the system's handler for web addresses and returns at once.
void OpenInDefaultBrowser(const Text& address);

// Puts the text on the clipboard; failures are silent.
void SetClipboardText(const Text& text);

// An exported function of a dynamic library that stays loaded until the end of the process.
struct LibraryFunction {
    void* address = nullptr;
    explicit operator bool() const { return address != nullptr; }
};

// Loads the first of the library files that loads (a name without a directory is looked for by
// the system's ordinary library search) and looks the function up among that library's own
// exports. Only that library is tried: without the function it is released again and the
// result is empty, as it is when no file loads.
LibraryFunction BindLibraryFunction(std::span<const Text> files, std::string_view function);

struct GuardedCall {
    int result = 0;
    bool stack_balanced = true;  // the function left the stack as the calling convention requires
};

// Calls a bound function that takes two texts and gives a number, by the calling convention of
// the system's libraries, watching the stack pointer around the call.
GuardedCall CallGuarded(LibraryFunction function, const Text& first, const Text& second);

}  // namespace platform
}  // namespace xl
