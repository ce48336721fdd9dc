// The real GTK windows, built from the program's designs, in this process under a display.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/handlers.h"
#include "platform/gtk/gtk_backend.h"
#include "platform/posix/posix_files.h"
#include "resources/layouts.h"

namespace xl::gtk {
namespace {

namespace fs = std::filesystem;

std::string U8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

void Drain() {
    for (int i = 0; i < 50; ++i) {
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        g_usleep(2000);
    }
}

LiveControl* Control(LiveWindow* window, std::string_view name) {
    for (auto& c : window->controls) {
        if (name == c->design->name) return c.get();
    }
    return nullptr;
}

GtkAllocation Allocation(GtkWidget* widget) {
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    return a;
}

void SendKey(GtkWidget* window, guint keyval, guint state = 0) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.keyval = keyval;
    event->key.state = state;
    GdkKeymapKey* keys = nullptr;
    gint n = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                          keyval, &keys, &n) &&
        n > 0) {
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    }
    g_free(keys);
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    gtk_main_do_event(event);
    gdk_event_free(event);
    Drain();
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static const WindowDesign* const windows[] = {&layout::kMainWindow,
                                                      &layout::kSubmissionWindow};
        platform::SetUp(windows, kHandlers);
    }

    MainWindowTest() {
        std::string pattern = (fs::temp_directory_path() / "xl-gtk-XXXXXX").string();
        run_dir_ = ::mkdtemp(pattern.data());
        posix::UseRunDirectory(run_dir_ + "/");
        // The creation handler binds the skin library beside the program.
        fs::copy_file(XL_SKIN_LIBRARY, fs::path(run_dir_) / "SkinH_EL.dll");
        platform::LoadStartupWindow(layout::kMainWindow);
        window_ = FindWindow(layout::kMainWindow);
        Drain();
    }
    ~MainWindowTest() override {
        if (FindWindow(layout::kMainWindow)) gtk_widget_destroy(window_->window);
        Drain();
        fs::remove_all(run_dir_);
    }

    GtkWidget* Focus() { return gtk_window_get_focus(GTK_WINDOW(window_->window)); }
    GtkWidget* FocusOf(std::string_view name) { return Control(window_, name)->focus; }

    std::string run_dir_;
    LiveWindow* window_ = nullptr;
};

TEST_F(MainWindowTest, ControlsStandWhereTheDesignPutsThem) {
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(gtk_window_get_title(GTK_WINDOW(window_->window)), U8(u8"笑料工坊 V1.0"));
    EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(window_->window)));
    const GtkAllocation client = Allocation(gtk_bin_get_child(GTK_BIN(window_->window)));
    EXPECT_EQ(client.width, 391);
    EXPECT_EQ(client.height, 160);
    for (const ControlDesign& d : layout::kMainWindow.controls) {
        if (d.kind == ControlKind::Timer || d.kind == ControlKind::StatusBar) continue;
        const GtkAllocation a = Allocation(Control(window_, d.name)->widget);
        EXPECT_EQ(a.x, d.x) << d.name;
        EXPECT_EQ(a.y, d.y) << d.name;
        EXPECT_EQ(a.width, d.width) << d.name;
        EXPECT_EQ(a.height, d.height) << d.name;
    }
}

TEST_F(MainWindowTest, StatusBarPanesEndAt300And391) {
    GtkWidget* bar = Control(window_, "状态条1")->widget;
    const GtkAllocation a = Allocation(bar);
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.y + a.height, 160);
    EXPECT_EQ(a.width, 391);
    GList* panes = gtk_container_get_children(GTK_CONTAINER(bar));
    ASSERT_EQ(g_list_length(panes), 2u);
    const GtkAllocation first = Allocation(GTK_WIDGET(panes->data));
    const GtkAllocation second = Allocation(GTK_WIDGET(panes->next->data));
    EXPECT_EQ(first.x + first.width, 300);
    EXPECT_EQ(second.x + second.width, 391);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(panes->next->data)), "Var1.0");
    const std::string author = gtk_label_get_text(GTK_LABEL(panes->data));
    EXPECT_EQ(author.rfind(U8(u8"作者：Vexlo QQ"), 0), 0u) << author;
    EXPECT_NE(author.find(U8(u8" 网址:")), std::string::npos) << author;
    g_list_free(panes);
}

TEST_F(MainWindowTest, TabFollowsTheFocusOrderBothWays) {
    const char* order[] = {"整蛊文本", "生成", "分享", "提交"};
    gtk_widget_grab_focus(FocusOf(order[0]));
    for (int step = 1; step <= 8; ++step) {
        SendKey(window_->window, GDK_KEY_Tab);
        EXPECT_EQ(Focus(), FocusOf(order[step % 4])) << step;
    }
    for (int step = 1; step <= 8; ++step) {
        SendKey(window_->window, GDK_KEY_ISO_Left_Tab, GDK_SHIFT_MASK);
        EXPECT_EQ(Focus(), FocusOf(order[(8 - step) % 4])) << step;
    }
    // Tab leaves the edit box instead of going into its text.
    EXPECT_EQ(platform::GetText(layout::kMainWindow, layout::kSentenceBox), "");
}

TEST_F(MainWindowTest, KeysThatDoNothingAndEnterInTheEditBox) {
    gtk_widget_grab_focus(FocusOf("生成"));
    for (guint key : {GDK_KEY_Escape, GDK_KEY_F1, GDK_KEY_Return}) SendKey(window_->window, key);
    // The window is still there, and Enter on 生成 pressed nothing: no list file was written.
    ASSERT_NE(FindWindow(layout::kMainWindow), nullptr);
    EXPECT_EQ(Focus(), FocusOf("生成"));
    EXPECT_FALSE(fs::exists(fs::path(run_dir_) / u8"形容词.txt"));

    gtk_widget_grab_focus(FocusOf("整蛊文本"));
    SendKey(window_->window, GDK_KEY_a);
    SendKey(window_->window, GDK_KEY_Return);
    SendKey(window_->window, GDK_KEY_b);
    EXPECT_EQ(platform::GetText(layout::kMainWindow, layout::kSentenceBox), "a\nb");
}

TEST_F(MainWindowTest, TextsCrossAsGbk) {
    platform::SetText(layout::kMainWindow, layout::kSentenceBox, "头顶西瓜的李白在教室里砍柴");
    EXPECT_EQ(platform::GetText(layout::kMainWindow, layout::kSentenceBox),
              "头顶西瓜的李白在教室里砍柴");
    platform::SetText(layout::kMainWindow, layout::kCreditsLine, "姓名收录：Olvin");
    EXPECT_EQ(gtk_label_get_text(GTK_LABEL(Control(window_, "版权文本")->widget)),
              U8(u8"姓名收录：Olvin"));
}

TEST_F(MainWindowTest, GenerateFillsTheEditBox) {
    gtk_button_clicked(GTK_BUTTON(Control(window_, "生成")->widget));
    EXPECT_FALSE(platform::GetText(layout::kMainWindow, layout::kSentenceBox).empty());
    EXPECT_TRUE(fs::exists(fs::path(run_dir_) / u8"事件.txt"));
}

TEST(PressCounter, ADoubleClickIsOnePress) {
    struct Press {
        guint32 time;
        double x;
        bool single;
    };
    struct Case {
        const char* what;
        std::vector<Press> presses;
    };
    const Case cases[] = {
        {"one press", {{1000, 5, true}}},
        {"a double click", {{1000, 5, true}, {1100, 5, false}}},
        {"a triple click is a double click and a press",
         {{1000, 5, true}, {1100, 5, false}, {1200, 5, true}}},
        {"slow presses", {{1000, 5, true}, {2000, 5, true}}},
        {"far apart", {{1000, 5, true}, {1100, 50, true}}},
    };
    for (const Case& c : cases) {
        PressCounter counter;
        for (const Press& p : c.presses) {
            EXPECT_EQ(counter.IsSinglePress(p.time, p.x, 0, 400, 5), p.single) << c.what;
        }
    }
}

}  // namespace
}  // namespace xl::gtk
