#pragma once
// The main window: three lines of explanation, Connect and Close.
#include "classlib/win32/Forms.h"

class TFormMain : public classlib::TForm {
public:
    static constexpr const char* kClassName = "TFormMain";

    classlib::TLabel* Label1;
    classlib::TLabel* Label2;
    classlib::TButton* ButtonCnect;
    classlib::TLabel* Label3;
    classlib::TButton* ButtonClose;

    void ButtonCloseClick(classlib::TObject* sender);
    void ButtonCnectClick(classlib::TObject* sender);

protected:
    void DeclareMembers() override;

private:
    bool connecting_ = false;
};

extern TFormMain* FormMain;
