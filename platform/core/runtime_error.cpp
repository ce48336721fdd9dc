#include "runtime_error.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shutdown.h"

namespace xl {
namespace {

StopHooks g_hooks;
bool g_stopping = false;

struct KnownError {
    std::int32_t code;
    const char* message;
};

constexpr KnownError Known(RuntimeErrorKind kind) {
    switch (kind) {
    case kErrorIndexAboveCount: return {1, "数组成员引用下标超出定义范围"};
    case kErrorIndexBelowOne: return {4, "数组成员引用下标必须大于等于1"};
    case kErrorStackUnbalanced: return {6, "调用DLL命令后发现堆栈错误"};
    case kErrorDesignsUnreadable: return {0, "载入窗口模板数据段出错!"};
    case kErrorStartupWindow: return {0, "载入启动窗口失败"};
    }
    return {0, ""};
}

}  // namespace

Text RuntimeErrorText(std::int32_t code, std::string_view message) {
    Text box = "运行时出错!\r\n\r\n";
    if (code != 0) box += "错误代码：" + std::to_string(code) + "\r\n\r\n";
    if (!message.empty()) {
        box += "错误信息：";
        box += message;
        box += "\r\n";
    }
    return box;
}

Text OutOfMemoryMessage(std::size_t bytes) {
    return "分配 " + std::to_string(bytes) + " 字节内存失败!";
}

Text MissingLibraryFunctionMessage(std::string_view library, std::string_view function) {
    Text message = "无法找到指定DLL库文件“";
    message += library;
    message += "”中的输出命令“";
    message += function;
    message += "”";
    return message;
}

void InstallStopHooks(StopHooks hooks) { g_hooks = hooks; }

void RuntimeErrorStop(std::int32_t code, std::string_view message) {
    // A second stop while the first is showing its box (a failed allocation inside the toolkit,
    // say) must not recurse; the first one's message is already out.
    if (g_stopping) std::_Exit(-1);
    g_stopping = true;
    DropShutdownRoutine();

    const Text box = RuntimeErrorText(code, message);
    if (g_hooks.show_error_box) {
        g_hooks.show_error_box(box);
    } else {
        std::fwrite(box.data(), 1, box.size(), stderr);
    }
    if (g_hooks.release_libraries) g_hooks.release_libraries();
    std::fflush(nullptr);
    std::_Exit(-1);
}

void RuntimeErrorStop(RuntimeErrorKind kind) {
    const KnownError error = Known(kind);
    RuntimeErrorStop(error.code, error.message);
}

}  // namespace xl
