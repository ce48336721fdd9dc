#include <gtest/gtest.h>

#include <string>

#include "resources/embedded_skin.h"
#include "scratch.h"
#include "skin_file.h"

namespace xlskin {
namespace {

constexpr Rgb kWhite{255, 255, 255};

std::optional<Skin> Parse(const std::string& body) { return ParseSkin(".SHE|1\n" + body); }

TEST(SkinFileTest, ReadsEveryKindOfValue) {
    const auto skin = Parse(
        "[window]\n"
        "background = image(paper-1.png, tile)\n"
        "[button]\n"
        "background = gradient(horizontal, #000000, #808080, #FFFFFF)\n"
        "text = #A1b2C3\n"
        "border = 1 #010203 #040506 #070809 #0a0b0c\n"
        "radius = 8\n"
        "[button:hover]\n"
        "background = image(glow.png)\n"
        "border = none\n"
        "[edit]\n"
        "background = #ffffff\n"
        "border = 1 #7d97b5\n"
        "radius = 0\n"
        "selection = #3d7cc9\n"
        "selection-text = #ffffff\n"
        "[statusbar]\n"
        "pane-border = 0\n");
    ASSERT_TRUE(skin);

    const Fill& paper = *(*skin)[Part::Window].background;
    EXPECT_EQ(paper.kind, Fill::Kind::Image);
    EXPECT_EQ(paper.image, "paper-1.png");
    EXPECT_TRUE(paper.tile);

    const PartStyle& button = (*skin)[Part::Button];
    EXPECT_EQ(button.background->kind, Fill::Kind::Gradient);
    EXPECT_FALSE(button.background->vertical);
    EXPECT_EQ(button.background->colours,
              (std::vector<Rgb>{{0, 0, 0}, {0x80, 0x80, 0x80}, kWhite}));
    EXPECT_EQ(*button.text, (Rgb{0xa1, 0xb2, 0xc3}));
    EXPECT_EQ(button.border->width, 1);
    EXPECT_EQ(button.border->colours,
              (std::array<Rgb, 4>{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}}));
    EXPECT_EQ(*button.radius, 8);

    const PartStyle& hover = (*skin)[Part::ButtonHover];
    EXPECT_FALSE(hover.background->tile);
    EXPECT_EQ(hover.border->width, 0);
    EXPECT_FALSE(hover.text) << "a state gives only what it names";

    const PartStyle& edit = (*skin)[Part::Edit];
    EXPECT_EQ(edit.background->kind, Fill::Kind::Colour);
    EXPECT_EQ(edit.background->colours, std::vector<Rgb>{kWhite});
    EXPECT_EQ(edit.border->colours[2], (Rgb{0x7d, 0x97, 0xb5})) << "one colour for all sides";
    EXPECT_EQ(*edit.selection_text, kWhite);

    EXPECT_EQ((*skin)[Part::StatusBar].pane_border->width, 0);
    EXPECT_FALSE((*skin)[Part::Menu].present);
}

TEST(SkinFileTest, ToleratesTheWaysPeopleWriteText) {
    const std::string plain = ".SHE|1\n[edit]\nbackground = #ffffff\ntext = #000000\n";
    const std::string variants[] = {
        ".SHE|1\r\n[edit]\r\nbackground = #ffffff\r\ntext = #000000\r\n",
        ".SHE|1\n\n  [ edit ]  \n\tbackground=#FFFFFF\n  text   =   #000000  \n",
        ".SHE|1\n# 注释 in any encoding: \xb0\xa1\xff\n; another\n[edit]\nbackground = #ffffff\n"
        "text = #000000",
    };
    const auto expected = ParseSkin(plain);
    ASSERT_TRUE(expected);
    for (const std::string& text : variants) {
        SCOPED_TRACE(text);
        const auto skin = ParseSkin(text);
        ASSERT_TRUE(skin);
        EXPECT_EQ((*skin)[Part::Edit].background, (*expected)[Part::Edit].background);
        EXPECT_EQ((*skin)[Part::Edit].text, (*expected)[Part::Edit].text);
    }
}

TEST(SkinFileTest, RefusesWhatIsNotASkinFileOfThisVersion) {
    const std::string cases[] = {
        "",
        ".SHE|",
        ".SHE|\n[window]\n",
        ".SHE|2\n",
        ".SHE|1 \n",
        ".she|1\n",
        "SHE|1\n",
        "\xef\xbb\xbf.SHE|1\n",  // a byte-order mark in front
        ".SHE|1\n[window]\nbackground = #ffffff\n" + std::string(1, '\0'),
        ".SHE|1\n" + std::string(kMaxSkinFileSize, '#'),
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 40)));
        EXPECT_FALSE(ParseSkin(bytes));
    }
}

TEST(SkinFileTest, RefusesTheWholeFileForOneWrongLine) {
    struct Case {
        const char* what;
        const char* body;
    } const cases[] = {
        {"a key before any section", "text = #000000\n"},
        {"an unknown section", "[scrollbar]\n"},
        {"an unknown state", "[button:focus]\n"},
        {"a section twice", "[button]\n[edit]\n[button]\n"},
        {"a header without ]", "[button\n"},
        {"a key twice", "[button]\ntext = #000000\ntext = #000000\n"},
        {"a line without =", "[button]\ntext #000000\n"},
        {"an unknown key", "[button]\nfont = Sans 9\n"},
        {"a key of another part", "[window]\nradius = 2\n"},
        {"a size", "[button]\npadding = 4\n"},
        {"a short colour", "[label]\ntext = #fff\n"},
        {"a long colour", "[label]\ntext = #1234567\n"},
        {"a colour name", "[label]\ntext = red\n"},
        {"not hexadecimal", "[label]\ntext = #00gg00\n"},
        {"two colours", "[label]\ntext = #000000 #ffffff\n"},
        {"an empty value", "[label]\ntext =\n"},
        {"a gradient of one colour", "[window]\nbackground = gradient(vertical, #000000)\n"},
        {"a gradient of five colours",
         "[window]\nbackground = gradient(vertical, #000000, #000000, #000000, #000000, "
         "#000000)\n"},
        {"a gradient without direction", "[window]\nbackground = gradient(#000000, #ffffff)\n"},
        {"a diagonal gradient", "[window]\nbackground = gradient(diagonal, #000000, #ffffff)\n"},
        {"an open gradient", "[window]\nbackground = gradient(vertical, #000000, #ffffff\n"},
        {"something after a gradient",
         "[window]\nbackground = gradient(vertical, #000000, #ffffff) x\n"},
        {"an image in a directory", "[window]\nbackground = image(skins/a.png)\n"},
        {"an image above the skin", "[window]\nbackground = image(../a.png)\n"},
        {"an absolute image", "[window]\nbackground = image(/etc/a.png)\n"},
        {"a hidden image", "[window]\nbackground = image(.a.png)\n"},
        {"an image with a space", "[window]\nbackground = image(a b.png)\n"},
        {"a quoted image", "[window]\nbackground = image(\"a.png\")\n"},
        {"an image without a name", "[window]\nbackground = image()\n"},
        {"an image name too long",
         "[window]\nbackground = image("
         "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.png)\n"},
        {"an image placed otherwise", "[window]\nbackground = image(a.png, centre)\n"},
        {"a thick border", "[button]\nborder = 2 #000000\n"},
        {"a border without colour", "[button]\nborder = 1\n"},
        {"a border of three colours", "[button]\nborder = 1 #000000 #000000 #000000\n"},
        {"a border in pixels", "[button]\nborder = 1px #000000\n"},
        {"a large radius", "[button]\nradius = 9\n"},
        {"a negative radius", "[button]\nradius = -1\n"},
        {"a radius in pixels", "[button]\nradius = 3px\n"},
        {"a byte that is not ASCII outside a comment", "[label]\ntext = #000000 \xa1\xa1\n"},
        {"a control character", "[label]\ntext = #000000\x01\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(ParseSkin(std::string(".SHE|1\n# a comment first\n") + c.body, &error));
        EXPECT_NE(error.find("line "), std::string::npos) << error;
    }
}

TEST(SkinFileTest, TheBuiltInSkinIsAValidSkinFile) {
    const std::string bytes(reinterpret_cast<const char*>(xl::kEmbeddedSkin.data()),
                            xl::kEmbeddedSkin.size());
    EXPECT_EQ(bytes, xl::test::ReadFile(XL_SKIN_SOURCE)) << "the program carries the file as is";
    std::string error;
    const auto skin = ParseSkin(bytes, &error);
    ASSERT_TRUE(skin) << error;
    for (Part part : {Part::Window, Part::Button, Part::ButtonHover, Part::ButtonPressed,
                      Part::Edit, Part::Combo, Part::Menu, Part::StatusBar}) {
        EXPECT_TRUE((*skin)[part].present) << SectionName(part);
    }
}

}  // namespace
}  // namespace xlskin
