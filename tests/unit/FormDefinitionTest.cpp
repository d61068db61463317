// The form definition reader, and the main window's own definition checked against
// the window it must produce.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "classlib/FormDefinition.h"

using classlib::ReadFormDefinition;

namespace {

std::string ReadSourceFile(const std::string& name) {
    std::ifstream file(std::string(SOURCE_DIR) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(MainWindowDefinition, DeclaresTheWindowAsDesigned) {
    const auto form = ReadFormDefinition(ReadSourceFile("Unit1.dfm"));
    EXPECT_EQ(form.name, "FormMain");
    EXPECT_EQ(form.className, "TFormMain");
    EXPECT_EQ(form.caption, "Velkarn App VersionUp Tool Ver1.0");
    EXPECT_EQ(form.clientWidth, 770);
    EXPECT_EQ(form.clientHeight, 202);
    EXPECT_EQ(form.borderStyle, "bsDialog");
    EXPECT_EQ(form.position, "poScreenCenter");
    EXPECT_EQ(form.color, "clBtnFace");
    EXPECT_EQ(form.font.name, "ＭＳ Ｐゴシック");
    EXPECT_EQ(form.font.height, -15);
    EXPECT_EQ(form.font.charset, 128);
    EXPECT_EQ(form.font.color, "clWindowText");
    EXPECT_FALSE(form.font.bold);
    EXPECT_EQ(form.pixelsPerInch, 96);
    EXPECT_EQ(form.textHeight, 15);

    struct Expected {
        const char* name;
        const char* kind;
        int left, top, width, height;
        const char* caption;
        bool bold;
        int tabOrder;
        const char* onClick;
    };
    const Expected expected[] = {
        {"Label1", "TLabel", 16, 16, 722, 15,
         "製品版Velkarn解析ソフトがインストールされ、かつインターネット接続されたパソコンでご使用ください。", true, -1, ""},
        {"Label2", "TLabel", 16, 48, 309, 15, "バージョンアップのためのサイトに接続します。", true, -1, ""},
        {"ButtonCnect", "TButton", 16, 113, 75, 25, "接続", true, 0, "ButtonCnectClick"},
        {"Label3", "TLabel", 16, 80, 382, 15, "表示された手順でバージョンアップ作業を行ってください。", true, -1, ""},
        {"ButtonClose", "TButton", 680, 160, 75, 25, "閉じる", false, 1, "ButtonCloseClick"},
    };
    ASSERT_EQ(form.controls.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& c = form.controls[i];
        const auto& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(c.name, e.name);
        EXPECT_EQ(c.kind, e.kind);
        EXPECT_EQ(c.left, e.left);
        EXPECT_EQ(c.top, e.top);
        EXPECT_EQ(c.width, e.width);
        EXPECT_EQ(c.height, e.height);
        EXPECT_EQ(c.caption, e.caption);
        EXPECT_EQ(c.font.bold, e.bold);
        EXPECT_EQ(c.font.name, "ＭＳ Ｐゴシック");
        EXPECT_EQ(c.font.height, -15);
        EXPECT_EQ(c.font.charset, 128);
        EXPECT_EQ(c.tabOrder, e.tabOrder);
        EXPECT_EQ(c.onClick, e.onClick);
    }
}

TEST(ReadFormDefinition, ReadsStringsSetsAndControlFonts) {
    const auto form = ReadFormDefinition(
        "object F: TF\n"
        "  Caption = 'It''s '#12354'x'#13'y'\n"
        "  Font.Name = 'Base'\n"
        "  Font.Height = -11\n"
        "\n"
        "  object B: TButton\n"
        "    Font.Style = [fsBold]\n"
        "    ParentFont = False\n"
        "    OnClick = BClick\n"
        "  end\n"
        "end\r\n");
    EXPECT_EQ(form.caption, "It's あx\ry");
    ASSERT_EQ(form.controls.size(), 1u);
    EXPECT_TRUE(form.controls[0].font.bold);
    EXPECT_EQ(form.controls[0].font.name, "Base");  // the rest of the font comes from the form
    EXPECT_EQ(form.controls[0].font.height, -11);
    EXPECT_EQ(form.controls[0].onClick, "BClick");
}

TEST(ReadFormDefinition, RejectsWhatItDoesNotKnowNamingTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"object F: TF\n  Colour = clBtnFace\nend\n", "line 2: unknown property Colour of a form"},
        {"object F: TF\n  object E: TEdit\n  end\nend\n", "line 2: unknown control kind TEdit"},
        {"object F: TF\n  object L: TLabel\n    OnClick = LClick\n  end\nend\n", "line 3: unknown property OnClick of TLabel"},
        {"object F: TF\n  object L: TLabel\n    TabOrder = 0\n  end\nend\n", "line 3: unknown property TabOrder"},
        {"object F: TF\n  BorderStyle = bsSizeable\nend\n", "line 2: BorderStyle = bsSizeable is not supported"},
        {"object F: TF\n  ClientWidth = '770'\nend\n", "line 2: ClientWidth takes a number"},
        {"object F: TF\n  ClientWidth = 77O\nend\n", "line 2: not a number"},
        {"object F: TF\n  Caption = 'open\nend\n", "line 2: a string is not closed"},
        {"object F: TF\n  Font.Style = [fsItalic]\nend\n", "line 2: font style fsItalic is not supported"},
        {"object F: TF\n  Caption = 'a'\n  Caption = 'b'\nend\n", "line 3: Caption is given twice"},
        {"object F: TF\n  object L: TLabel\n  end\n  object L: TLabel\n  end\nend\n", "line 4: L is declared twice"},
        {"object F: TF\n  object L: TLabel\n    Font.Style = [fsBold]\n  end\nend\n", "line 2: L sets a font but keeps"},
        {"object F: TF\n  Caption = 'a'\n", "line 1: object F has no 'end'"},
        {"object F: TF\nend\nend\n", "line 3: text after the last 'end'"},
        {"", "line 1: no object is defined"},
    };
    for (const auto& c : cases) {
        try {
            ReadFormDefinition(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const classlib::EFormDefinitionError& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
    }
}

}  // namespace
