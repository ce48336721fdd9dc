// The window designs and their binding to handlers by name.
#include <gtest/gtest.h>

#include <string_view>

#include "app/handlers.h"
#include "platform/core/window_design.h"
#include "resources/layouts.h"

namespace xl {
namespace {

void Nothing() {}

using enum ControlKind;

constexpr ControlDesign kControls[] = {
    {Button, "ok", 0, 0, 10, 10, "OK", "Known"},
    {Label, "caption", 0, 20, 10, 10, "", nullptr},
};
constexpr const char* kGoodFocus[] = {"ok"};
constexpr const char* kLabelFocus[] = {"ok", "caption"};
constexpr const char* kMissingFocus[] = {"cancel"};
constexpr ControlDesign kUnknownHandler[] = {{Button, "ok", 0, 0, 10, 10, "OK", "Unknown"}};
constexpr ControlDesign kSameName[] = {{Button, "ok", 0, 0, 1, 1, "", nullptr},
                                       {Button, "ok", 0, 0, 1, 1, "", nullptr}};
constexpr HandlerBinding kBindings[] = {{"Known", Nothing}};

WindowDesign Window(std::span<const ControlDesign> controls, std::span<const char* const> focus,
                    const char* created = nullptr) {
    return {"w", "w", 100, 100, true, true, false, created, controls, focus};
}

TEST(Designs, AreReadOnlyWhenEveryNameResolves) {
    struct Case {
        const char* what;
        WindowDesign window;
        bool sound;
    };
    const Case cases[] = {
        {"all names known", Window(kControls, kGoodFocus, "Known"), true},
        {"unknown creation handler", Window(kControls, kGoodFocus, "Missing"), false},
        {"unknown control handler", Window(kUnknownHandler, kGoodFocus), false},
        {"focus on a label", Window(kControls, kLabelFocus), false},
        {"focus on no control", Window(kControls, kMissingFocus), false},
        {"two controls of one name", Window(kSameName, {}), false},
    };
    for (const Case& c : cases) {
        const WindowDesign* windows[] = {&c.window};
        EXPECT_EQ(DesignsAreSound(windows, kBindings), c.sound) << c.what;
    }
}

TEST(Designs, TheProgramsWindowsBindToItsHandlers) {
    const WindowDesign* windows[] = {&layout::kMainWindow, &layout::kSubmissionWindow};
    EXPECT_TRUE(DesignsAreSound(windows, kHandlers));
}

TEST(Designs, ClientAreasHoldTheirControls) {
    for (const WindowDesign* w : {&layout::kMainWindow, &layout::kSubmissionWindow}) {
        for (const ControlDesign& c : w->controls) {
            if (c.kind == Timer || c.kind == StatusBar) continue;
            EXPECT_LE(c.x + c.width, ClientWidth(*w)) << c.name;
            EXPECT_LE(c.y + c.height,
                      ClientHeight(*w) - (w == &layout::kMainWindow ? kStatusBarHeight : 0))
                << c.name;
        }
    }
    EXPECT_EQ(ClientWidth(layout::kMainWindow), 391);
}

TEST(Designs, CentredByTruncatingDivision) {
    EXPECT_EQ(CentredOn(1280, 1024, layout::kMainWindow).x, 441);
    EXPECT_EQ(CentredOn(1280, 1024, layout::kMainWindow).y, 418);
    EXPECT_EQ(CentredOn(1023, 767, layout::kSubmissionWindow).x, 286);
    EXPECT_EQ(CentredOn(1023, 767, layout::kSubmissionWindow).y, 206);
    // A screen smaller than the window puts it off the top left, as the formula says.
    EXPECT_EQ(CentredOn(300, 100, layout::kMainWindow).x, -48);
}

}  // namespace
}  // namespace xl
