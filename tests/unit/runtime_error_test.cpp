// The run-time error stop: its box text, the failed allocation, and the clean-up it skips.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/core/runtime_error.h"
#include "platform/core/shutdown.h"

namespace xl {
namespace {

TEST(RuntimeErrorText, CodeAndMessageLines) {
    struct Case {
        std::int32_t code;
        const char* message;
        const char* box;
    };
    const Case cases[] = {
        {4, "数组成员引用下标必须大于等于1",
         "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n"},
        {0, "载入启动窗口失败", "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"},
        {6, "", "运行时出错!\r\n\r\n错误代码：6\r\n\r\n"},
        {-2, "", "运行时出错!\r\n\r\n错误代码：-2\r\n\r\n"},
        {0, "", "运行时出错!\r\n\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(RuntimeErrorText(c.code, c.message), c.box) << c.code;
}

TEST(RuntimeErrorText, FilledInMessages) {
    EXPECT_EQ(MissingLibraryFunctionMessage("SkinH_EL.dll", "SkinH_Attach_Ex"),
              "无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_Attach_Ex”");
    EXPECT_EQ(OutOfMemoryMessage(123456), "分配 123456 字节内存失败!");
}

void SayCleanedUp() { std::fputs("clean-up ran\n", stderr); }

TEST(ShutdownRoutine, RunsOnceAtTheOrderlyEnd) {
    static int runs = 0;
    RegisterShutdownRoutine([] { ++runs; });
    RunShutdownRoutine();
    RunShutdownRoutine();
    EXPECT_EQ(runs, 1);
}

TEST(ShutdownRoutine, TheStopSkipsIt) {
    EXPECT_EXIT(
        {
            RegisterShutdownRoutine(SayCleanedUp);
            RuntimeErrorStop(kErrorStartupWindow);
        },
        testing::ExitedWithCode(255),
        testing::AllOf(testing::HasSubstr(RuntimeErrorText(0, "载入启动窗口失败")),
                       testing::Not(testing::HasSubstr("clean-up ran"))));
}

TEST(FailedAllocation, StopsWithTheBytesAskedFor) {
    // More than any machine has, so the request fails however much is free.
    const std::size_t huge = std::size_t{1} << 62;
    EXPECT_EXIT(
        {
            void* block = ::operator new(huge);
            std::printf("%p", block);
        },
        testing::ExitedWithCode(255),
        testing::HasSubstr(RuntimeErrorText(0, OutOfMemoryMessage(huge))));
    // The nothrow form keeps its promise of a null result instead.
    EXPECT_EQ(::operator new(huge, std::nothrow), nullptr);
}

}  // namespace
}  // namespace xl
