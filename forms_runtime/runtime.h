// SPDX-License-Identifier: MIT
#pragma once

// The forms run-time as the windows see it: one program-wide instance per
// window class, created with its load step on first reference and created
// anew after an unload; show, hide, unload and end; the controls' texts and
// selected states by name; a modal message box; every event's handler run
// under one error trap. A toolkit back end implements the abstract operations
// (QtRuntime for Qt Widgets); tests use a fake.

#include "form.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeindex>
#include <utility>
#include <vector>

namespace forms {

// An error of the run-time or of a window's handler whose text is meant for
// the user: German, a whole sentence. Any other exception that reaches the
// run-time is reported with a German text of the run-time's own.
class Error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class Runtime
{
public:
    explicit Runtime(std::string applicationTitle) : m_applicationTitle(std::move(applicationTitle)) {}
    virtual ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // The one instance of window class F, created and loaded on first reference.
    template <class F> F& form()
    {
        if (Form* existing = find(typeid(F)))
            return static_cast<F&>(*existing);
        auto created = std::make_unique<F>(*this);
        F& reference = *created;
        load(typeid(F), std::move(created));
        return reference;
    }

    template <class F> bool isLoaded() const { return find(typeid(F)) != nullptr; }

    // Creates the start-up window F and shows it, as the first event of the run.
    template <class F> void start()
    {
        deliver([this] { show(form<F>()); });
    }

    // Runs one event's handler. An error that the handler lets through is
    // reported in a message box, in German whatever its origin, and ends the
    // program with exit code 1; once the program has ended, no handler runs
    // any more.
    void deliver(const std::function<void()>& handler);

    // Modeless, without owner: loads if needed, makes visible and active,
    // or only brings to the front a window that is already visible.
    virtual void show(Form& form) = 0;
    // Invisible and without input; stays loaded with all its state.
    virtual void hide(Form& form) = 0;
    // Runs the window's unload step, closes and discards it. The program
    // ends by itself when no window is loaded any more.
    void unload(Form& form);
    // Ends the program at once: every window goes, no closing step runs.
    void end() { finish(0); }
    bool hasEnded() const { return m_ended; }
    // 0 after end(), 1 after an error ended the program.
    int exitCode() const { return m_exitCode; }

    // Modal to the whole program: "OK" only, no icon, titled with the
    // application title. While it is open no window of the program takes
    // input; when it closes, the window and control that had the focus have
    // it again.
    void messageBox(std::string_view text);

    // Tells a screen reader, once and politely, the status that `control` of
    // the window now shows, in the words of `text`. The focus stays where the
    // user put it and nothing visible changes.
    void announce(Form& form, std::string_view control, std::string_view text);

    // The controls by name, as the window's description names them. A name the
    // description lacks, or a control of a kind without that property, is an
    // error (forms::Error) whatever the back end.
    // Whether an option button is selected.
    bool selected(const Form& form, std::string_view control) const;
    // The caption of a label, frame, command button or option button.
    void setCaption(Form& form, std::string_view control, std::string_view text);
    // A text box's text.
    void setText(Form& form, std::string_view control, std::string_view text);
    // The window's own caption, in its title bar.
    void setWindowCaption(Form& form, std::string_view text);
    // Fails unless the window's description has a command button or frame of
    // that name, the controls whose clicks reach a handler: a handler bound
    // to a misspelt name fails when it is bound, not silently never.
    void checkClickable(const Form& form, std::string_view control) const;

    // The decimal separator of the user's locale.
    virtual std::string decimalSeparator() const = 0;

    const std::string& applicationTitle() const { return m_applicationTitle; }

protected:
    // The back end's part of the operations above, for a control the
    // description has and whose kind has the property.
    virtual bool readSelected(const Form& form, const ControlDescription& control) const = 0;
    virtual void writeCaption(Form& form, const ControlDescription& control, std::string_view text) = 0;
    virtual void writeText(Form& form, const ControlDescription& control, std::string_view text) = 0;
    virtual void writeWindowCaption(Form& form, std::string_view text) = 0;

    // Where the keyboard focus is: the active window of the program and its
    // focused control (nullptr for none); no window when another program is active.
    struct FocusPlace
    {
        Form* form = nullptr;
        const ControlDescription* control = nullptr;
    };
    virtual FocusPlace focusPlace() const = 0;
    // Makes the window active again and gives the control the focus (nullptr: the window's own choice).
    virtual void restoreFocus(Form& form, const ControlDescription* control) = 0;
    // Shows the message box and returns when the user has closed it; no
    // window of the program takes input while it is open.
    virtual void runMessageBox(std::string_view text, std::string_view title) = 0;
    // Hands `text` to the platform's screen readers as a polite status
    // message about `control`.
    virtual void announceStatus(Form& form, const ControlDescription& control, std::string_view text) = 0;

    // Builds the window and its controls from form.description().
    virtual void createWindow(Form& form) = 0;
    // Removes the window from the screen and releases it, without any closing step.
    virtual void destroyWindow(Form& form) = 0;
    // Makes every window disappear and ends the process's event loop with the exit code.
    virtual void endProcess(int exitCode) = 0;

    // For back ends: the user closed the window through its frame.
    void closeRequested(Form& form);
    // For back ends, inside a catch block: reports the exception being
    // handled as deliver() does and ends the program. Nothing may unwind
    // through the toolkit's or the system's code.
    void failWithCurrentException() noexcept;
    // Frees windows unloaded earlier; call where no handler of theirs runs.
    void releaseUnloaded() { m_unloaded.clear(); }
    // Every loaded window, in the order of loading.
    std::vector<Form*> loadedForms() const;

private:
    Form* find(std::type_index type) const;
    void load(std::type_index type, std::unique_ptr<Form> form);
    void finish(int exitCode);
    void fail(std::string_view what);

    std::string m_applicationTitle;
    std::vector<std::pair<std::type_index, std::unique_ptr<Form>>> m_forms;
    // Unloaded windows live on until their handler has returned.
    std::vector<std::unique_ptr<Form>> m_unloaded;
    bool m_ended = false;
    int m_exitCode = 0;
};

} // namespace forms
