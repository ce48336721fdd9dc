#include "skin_setup.h"

#include "platform/core/platform.h"
#include "platform/core/runtime_error.h"
#include "resources/embedded_skin.h"

namespace xl {
namespace {

constexpr char kSkinFile[] = "Skin.she";
constexpr char kSkinLibrary[] = "SkinH_EL.dll";
constexpr char kAttachFunction[] = "SkinH_Attach_Ex";

// Bound at the first call and kept for the rest of the process.
platform::LibraryFunction g_attach;

platform::LibraryFunction AttachFunction() {
    if (g_attach) return g_attach;
    // The copy beside the program first, then whatever the system's search finds.
    const Text files[] = {platform::PathBesideProgram(kSkinLibrary), kSkinLibrary};
    g_attach = platform::BindLibraryFunction(files, kAttachFunction);
    if (!g_attach) {
        RuntimeErrorStop(0, MissingLibraryFunctionMessage(kSkinLibrary, kAttachFunction));
    }
    return g_attach;
}

}  // namespace

void SetUpSkin() {
    const Text path = platform::PathBesideProgram(kSkinFile);
    // Whatever is there already, even a directory or an empty file, is the user's and stays.
    if (!platform::FileExists(path)) {
        const std::string_view skin(reinterpret_cast<const char*>(kEmbeddedSkin.data()),
                                    kEmbeddedSkin.size());
        platform::WriteWholeFile(path, skin);
    }
    if (!platform::CallGuarded(AttachFunction(), path, Text()).stack_balanced) {
        RuntimeErrorStop(kErrorStackUnbalanced);
    }
}

}  // namespace xl
