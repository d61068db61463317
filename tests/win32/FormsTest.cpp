// Forms made from a form definition: controls bound to fields and events to
// handlers by name, and every mismatch refused when the form is created.
#include <gtest/gtest.h>

#include <windows.h>

#include "classlib/win32/Forms.h"

namespace {

class TTestForm : public classlib::TForm {
public:
    static constexpr const char* kClassName = "TTestForm";
    static inline std::string definition;
    static inline bool declareWrongKind = false;

    classlib::TLabel* Label1 = nullptr;
    classlib::TButton* Button1 = nullptr;
    classlib::TLabel* WrongKind = nullptr;
    int clicks = 0;

protected:
    void DeclareMembers() override {
        Bind("Label1", Label1);
        Bind("Button1", Button1);
        if (declareWrongKind) Bind("Button2", WrongKind);
        Handler("Button1Click", [this](classlib::TObject* sender) {
            EXPECT_EQ(sender, Button1);
            ++clicks;
        });
    }
    std::string DefinitionText(const std::string& className) const override {
        EXPECT_EQ(className, kClassName);
        return definition;
    }
};

std::string Definition(const std::string& extraControl, const char* handler = "Button1Click") {
    return std::string("object TestForm: TTestForm\n"
                       "  Caption = 'Test'\n"
                       "  ClientWidth = 200\n"
                       "  ClientHeight = 100\n"
                       "  Font.Name = 'Tahoma'\n"
                       "  Font.Height = -11\n"
                       "  object Label1: TLabel\n"
                       "    Left = 8\n"
                       "    Top = 8\n"
                       "    Caption = 'ラベル'\n"
                       "  end\n"
                       "  object Button1: TButton\n"
                       "    Left = 8\n"
                       "    Top = 40\n"
                       "    Width = 75\n"
                       "    Height = 25\n"
                       "    Caption = 'OK'\n"
                       "    TabOrder = 0\n"
                       "    OnClick = ") +
           handler + "\n  end\n" + extraControl + "end\n";
}

std::wstring Text(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

TEST(TForm, BindsControlsAndHandlersByName) {
    TTestForm::definition = Definition("");
    TTestForm::declareWrongKind = false;
    TTestForm* form = nullptr;
    classlib::Application->CreateForm(form);
    ASSERT_NE(form, nullptr);
    ASSERT_NE(form->Label1, nullptr);
    ASSERT_NE(form->Button1, nullptr);
    EXPECT_EQ(Text(form->Handle()), L"Test");
    EXPECT_EQ(Text(form->Label1->Handle()), L"ラベル");
    EXPECT_EQ(GetParent(form->Button1->Handle()), form->Handle());

    SendMessageW(form->Button1->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->clicks, 1);
}

TEST(TForm, RefusesDefinitionsThatDoNotMatchTheClass) {
    const struct {
        std::string definition;
        bool declareWrongKind;
        const char* error;
    } cases[] = {
        {Definition("", "Button1Clik"), false, "TTestForm has no handler Button1Clik"},
        {Definition("", "Button1Click").replace(0, 27, "object TestForm: TOtherForm"), false,
         "The form definition of TTestForm declares TOtherForm"},
        {"object TestForm: TTestForm\nend\n", false, "TTestForm.Label1 is missing from its form definition"},
        {Definition("  object Button2: TButton\n  end\n"), true,
         "TTestForm.Button2 is a TLabel, but the form definition makes it a TButton"},
    };
    for (const auto& c : cases) {
        TTestForm::definition = c.definition;
        TTestForm::declareWrongKind = c.declareWrongKind;
        TTestForm* form = nullptr;
        try {
            classlib::Application->CreateForm(form);
            ADD_FAILURE() << "accepted: " << c.error;
        } catch (const classlib::EFormDefinitionError& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
        EXPECT_EQ(form, nullptr);
    }
}

}  // namespace
