#pragma once
// The application object, forms created from their form definitions, and the two
// kinds of control the program uses, over plain Win32.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/FormDefinition.h"

namespace classlib {

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

class TForm;

class TControl : public TObject {
public:
    static constexpr const char* kKind = "";
    const std::string& Name() const { return definition_.name; }
    HWND Handle() const { return handle_; }

protected:
    friend class TForm;
    ControlDefinition definition_;
    HWND handle_ = nullptr;
};

// A single line of text in a static control, sized to its text.
class TLabel : public TControl {
public:
    static constexpr const char* kKind = "TLabel";
};

class TButton : public TControl {
public:
    static constexpr const char* kKind = "TButton";
    TNotifyEvent OnClick;
};

class TApplication;

// A window created from the form definition stored in the program's resources under
// its class name. The definition's controls are bound by name to the fields the
// form class declares, and its event names to the form's handlers.
class TForm : public TObject {
public:
    ~TForm() override;
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    HWND Handle() const { return handle_; }
    void Show();

protected:
    TForm() = default;

    // Called by the application before the definition is read: the derived class
    // names its controls and handlers with Bind and Handler.
    virtual void DeclareMembers() = 0;
    template <class Control>
    void Bind(const char* name, Control*& field) {
        fields_.push_back({name, Control::kKind, [&field](TControl* control) {
                               field = static_cast<Control*>(control);
                           }});
    }
    void Handler(const char* name, TNotifyEvent event) { handlers_.push_back({name, std::move(event)}); }
    // The form definition's text: the program's resource named after the class.
    virtual std::string DefinitionText(const std::string& className) const;

private:
    friend class TApplication;
    struct Field {
        std::string name, kind;
        std::function<void(TControl*)> assign;
    };
    struct NamedHandler {
        std::string name;
        TNotifyEvent event;
    };

    void Create(const std::string& className, HWND owner);
    void Layout(UINT dpi, const RECT* suggested);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    FormDefinition definition_;
    HWND handle_ = nullptr;
    std::vector<Field> fields_;
    std::vector<NamedHandler> handlers_;
    std::vector<std::unique_ptr<TControl>> controls_;
    std::vector<HFONT> fonts_;
    bool layingOut_ = false;
};

class TApplication {
public:
    void Initialize();
    void SetTitle(const std::string& title);

    // Creates a form from its definition; the first one becomes the main form.
    template <class Form>
    void CreateForm(Form*& reference) {
        reference = static_cast<Form*>(AddForm(std::make_unique<Form>(), Form::kClassName));
    }

    // Shows the main form and dispatches messages until a quit request arrives.
    int Run();
    // Posts the quit request and returns at once.
    void Terminate();
    // The application-wide error report: a modal box captioned with the title.
    void ShowException(const std::exception& error) noexcept;

    TForm* MainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }

private:
    TForm* AddForm(std::unique_ptr<TForm> form, const std::string& className);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring title_;  // wide once, so that the error report can show it without allocating
    HWND handle_ = nullptr;  // owns the taskbar button, which shows the title
    std::vector<std::unique_ptr<TForm>> forms_;
};

extern TApplication* const Application;

}  // namespace classlib
