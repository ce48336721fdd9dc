#include <gtest/gtest.h>

#include "platform/core/platform.h"
#include "platform/posix/stack_guard.h"

extern "C" {
int xl_test_balanced();
int xl_test_removes_8();
int xl_test_removes_16();
int xl_test_leaves_16();
int xl_test_clobbers_saved();
int xl_test_stack_misalignment();
int xl_test_saved_registers_after(void* callee);
}

namespace xl {
namespace {

template <class F>
void* Address(F* function) {
    return reinterpret_cast<void*>(function);
}

TEST(StackGuardTest, ReportsHowFarTheCalleeMovedTheStackAndPutsItBack) {
    struct Case {
        const char* what;
        void* callee;
        long delta;
    } const cases[] = {
        {"keeps to the convention", Address(xl_test_balanced), 0},
        {"removes 8 bytes on return", Address(xl_test_removes_8), 8},
        {"removes two arguments, as stdcall does", Address(xl_test_removes_16), 16},
        {"leaves 16 bytes behind", Address(xl_test_leaves_16), -16},
        {"overwrites the callee-saved registers", Address(xl_test_clobbers_saved), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        long delta = 12345;
        // Getting back here at all, with the result, shows that the stack was put back.
        EXPECT_EQ(xl_guarded_call2(c.callee, "a", "", &delta), 7);
        EXPECT_EQ(delta, c.delta);
        EXPECT_EQ(platform::CallGuarded({c.callee}, "a", "").stack_balanced, c.delta == 0);
        EXPECT_EQ(xl_test_saved_registers_after(c.callee), 0) << "registers that changed, as bits";
    }
}

const char* g_first = nullptr;
const char* g_second = nullptr;

extern "C" int Probe(const char* first, const char* second) {
    g_first = first;
    g_second = second;
    return -42;
}

TEST(StackGuardTest, PassesBothTextsAndGivesTheResult) {
    const Text first = "C:/路径/Skin.she";
    const Text second;
    const platform::GuardedCall call = platform::CallGuarded({Address(Probe)}, first, second);
    EXPECT_EQ(call.result, -42);
    EXPECT_TRUE(call.stack_balanced);
    EXPECT_EQ(g_first, first.c_str());
    // The empty second text is a pointer to a zero byte, never a null pointer.
    ASSERT_NE(g_second, nullptr);
    EXPECT_EQ(*g_second, '\0');
}

TEST(StackGuardTest, CallsWithTheStackOnItsBoundary) {
    long delta = 1;
    EXPECT_EQ(xl_guarded_call2(Address(xl_test_stack_misalignment), "", "", &delta), 0);
    EXPECT_EQ(delta, 0);
}

}  // namespace
}  // namespace xl
