// SPDX-License-Identifier: MIT
#pragma once

// The forms run-time as the windows see it: one program-wide instance per
// window class, created with its load step on first reference and created
// anew after an unload; show, hide, unload and end; the controls' texts and
// selected states by name; a modal message box; every event's handler run
// under one error trap. A toolkit back end (QtRuntime for Qt Widgets,
// Win32Runtime for Windows; a fake in tests) fills the checklist of
// primitives below and decides nothing a user can notice.

#include "form.h"
#include "keyboard.h"
#include "placement.h"
#include "window_rules.h"

#include <deque>
#include <functional>
#include <map>
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

// The errors a back end reports, in the user's words: the platform refused
// to build a window or a control; a window asked for is not loaded; a
// picture the descriptions name is not among the back end's.
Error notBuilt(const WindowDescription& window);
Error notBuilt(const ControlDescription& control);
Error notLoaded(const WindowDescription& window);
Error unknownPicture(PictureId picture);

// Why a program could not reach the screen before any window existed.
enum class DisplayFailure
{
    NoConnection, // the platform's display connection cannot start (named)
    NoDisplay,    // no display is given (DISPLAY unset)
    Unreachable,  // the display given (named) cannot be opened
};
// The one line a program prints, with its title, when it cannot show its
// windows; `name` is the connection or display the failure names.
std::string displayFailureMessage(std::string_view applicationTitle, DisplayFailure failure,
                                  std::string_view name);

// A native window or control as a back end built it (an HWND, a QWidget*);
// the run-time keeps it without looking inside.
using NativeHandle = void*;

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

    // Modeless, without owner: makes the window visible and active, or only
    // brings to the front a window that is already visible. At its first show
    // a window goes where its description says (placement.h).
    void show(Form& form);
    // Invisible and without input; stays loaded with all its state, the
    // control that had its focus included.
    void hide(Form& form);
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
    std::string decimalSeparator() const { return localeDecimalSeparator(); }

    // A window the program will probably show next (the calculator, while
    // the splash waits for its key). While the program waits for the user,
    // the back end gets the window's fonts and glyphs ready, a little at a
    // time, so that the window appears sooner; nothing visible changes, and
    // nothing more is done once a window of that description is loaded.
    void prepare(const WindowDescription& window);

    const std::string& applicationTitle() const { return m_applicationTitle; }

    // The registry (below), read: a loaded window's native window and the
    // native control of each of its controls, nullptr for a window that is
    // not loaded or a control not registered; and the other way round,
    // nullptr for a handle the program did not build. A window of the
    // program has no use for them; tools and tests read what the back end
    // registered.
    NativeHandle nativeWindow(const Form& form) const;
    NativeHandle nativeControl(const Form& form, const ControlDescription& control) const;
    Form* formOf(NativeHandle window) const;
    const ControlDescription* controlOf(const Form& form, NativeHandle handle) const;

protected:
    // ---- The back end's checklist ------------------------------------------
    // What a toolkit back end provides: primitives only. Everything a user can
    // notice (where a window goes, which key does what, when a label resizes,
    // what a message box blocks) is decided above, by the run-time and its
    // rules (keyboard.h, placement.h, window_rules.h); a back end builds
    // native controls, carries out these operations and reports raw events
    // (closeRequested, Form::click, Form::keyPress). Controls are always ones
    // the window's description has, of a kind that has the property.

    // Building and releasing. createWindow builds the window and every
    // control of form.description() at the screen's resolution, invisible
    // (every picture it names is one the back end has);
    // destroyWindow removes it without any closing step; endProcess ends the
    // event loop with the exit code once every window is hidden, and from then
    // on no event reaches a handler.
    virtual void createWindow(Form& form) = 0;
    virtual void destroyWindow(Form& form) = 0;
    virtual void endProcess(int exitCode) = 0;

    // Showing. At a window's first show the run-time places it: it asks for
    // the size of the client area, the frame the platform adds around it and
    // the screen, all in the same pixels, and how many of those pixels a twip
    // is; then it puts the client area's top-left corner at a point of the
    // screen. showWindow makes the window visible, brings it to the front and
    // makes it active; hideWindow makes it invisible.
    virtual PixelSize clientSize(const Form& form) = 0;
    virtual FrameMargins frameMargins(const Form& form) = 0;
    virtual PixelRect screenArea(const Form& form) = 0;
    virtual double pixelsPerTwip(const Form& form) = 0;
    virtual void placeClient(Form& form, PixelPoint clientTopLeft) = 0;
    virtual void showWindow(Form& form) = 0;
    virtual void hideWindow(Form& form) = 0;

    // Controls. A control's rectangle where the back end places it (its
    // native parent's client area), in the pixels above; placing it there;
    // the size its text takes in its own font, on one line.
    virtual PixelRect controlRect(const Form& form, const ControlDescription& control) = 0;
    virtual void placeControl(Form& form, const ControlDescription& control, const PixelRect& rect) = 0;
    virtual PixelSize textSize(const Form& form, const ControlDescription& control) = 0;

    // Texts and states.
    virtual bool readSelected(const Form& form, const ControlDescription& control) const = 0;
    virtual void writeCaption(Form& form, const ControlDescription& control, std::string_view text) = 0;
    virtual void writeText(Form& form, const ControlDescription& control, std::string_view text) = 0;
    virtual void writeWindowCaption(Form& form, std::string_view text) = 0;

    // Keys. The window's focused control (nullptr for none); moving the focus
    // to a control; pressing a control as a click would (a command button's
    // click reaches its handler, an option button is chosen).
    virtual const ControlDescription* focusedControl(const Form& form) = 0;
    virtual void focusControl(Form& form, const ControlDescription& control) = 0;
    virtual void pressControl(Form& form, const ControlDescription& control) = 0;

    // The focus. Where the keyboard focus is: the active window of the
    // program and its focused control (nullptr for none); no window while
    // another program is active. activateWindow brings a visible window to
    // the front and makes it the active one.
    struct FocusPlace
    {
        Form* form = nullptr;
        const ControlDescription* control = nullptr;
    };
    virtual FocusPlace focusPlace() const = 0;
    virtual void activateWindow(Form& form) = 0;

    // The message box: shown in front of `owner` (nullptr: of no window)
    // until the user closes it. blockInput keeps a window from taking clicks
    // and keys and from being closed through its frame, or lets it take them
    // again; the window looks the same either way.
    virtual void runMessageBox(std::string_view text, std::string_view title, Form* owner) = 0;
    virtual void blockInput(Form& form, bool blocked) = 0;
    // A polite status message for the platform's screen readers about `control`.
    virtual void announceStatus(Form& form, const ControlDescription& control, std::string_view text) = 0;

    // The user's settings: the decimal separator of the user's locale.
    virtual std::string localeDecimalSeparator() const = 0;

    // Whether the back end has a picture the descriptions name (its
    // catalogue of the program's pictures).
    virtual bool hasPicture(PictureId picture) const = 0;

    // Optional: getting a window ready ahead of time (prepare). whenIdle runs
    // `step` once the first window is painted and the event loop has nothing
    // else to do; prepareText draws text in a font where nothing shows it, so
    // that the font and its glyphs are ready when a window draws them. A back
    // end without them prepares nothing.
    // NOLINTNEXTLINE(performance-unnecessary-value-param): a sink; the back ends keep the step
    virtual void whenIdle(std::function<void()> /*step*/) {}
    virtual void prepareText(const FontSpec& /*font*/, std::u32string_view /*text*/) {}

    // ---- The registry -------------------------------------------------------
    // What a back end built for a loaded window, kept by the run-time: the
    // native window, the back end's own record of it (its fonts, its state;
    // a class of the back end's derived from WindowRecord) and the native
    // control of each control of the description, registered as
    // createWindow builds them and forgotten when the window is unloaded
    // (after destroyWindow, the record with them). It is the one list of
    // windows: a back end keeps none of its own.
    struct WindowRecord
    {
        WindowRecord() = default;
        virtual ~WindowRecord() = default;
        WindowRecord(const WindowRecord&) = delete;
        WindowRecord& operator=(const WindowRecord&) = delete;
    };
    void registerWindow(const Form& form, NativeHandle window, std::unique_ptr<WindowRecord> record = {});
    void registerControl(const Form& form, const ControlDescription& control, NativeHandle handle);
    WindowRecord* windowRecord(const Form& form) const;
    // Visits every loaded window's record, in the order of loading, without
    // allocating: for a back end releasing what is left at its end.
    template <class Visit> void forEachWindowRecord(Visit visit) const
    {
        for (const LoadedForm& entry : m_forms)
            if (entry.record)
                visit(*entry.record);
    }

    // ---- What a back end calls ----------------------------------------------
    // A key the user pressed in the window, as the back end saw it, before
    // the native controls handle it. The run-time decides: a window with key
    // preview takes every typed character; a letter acts as an access key
    // (with Alt, or without it outside a text box); an arrow moves within an
    // option group; Enter and Escape press the default and the cancel
    // button. True when the run-time took the key; otherwise the native
    // control handles it (typing into a text box, Tab, …).
    bool keyPressed(Form& form, const KeyStroke& key);
    // One UTF-16 unit of typed text, for a platform that reports typing in
    // such units: a character beyond the basic plane comes in two halves,
    // which a window with key preview gets joined, as one character.
    bool unitTyped(Form& form, char16_t unit, bool alt);
    // The user closed the window through its frame.
    void closeRequested(Form& form);
    // The window became the active one, or stopped being it (the user
    // switched windows, a message box opened). The run-time decides where the
    // focus goes: each window keeps the control that last had its focus and
    // gets it back whenever it is active again; at its first show the focus
    // goes to its first Tab stop.
    void windowActivated(Form& form);
    void windowDeactivated(Form& form);
    // The focus came to an option button by Tab or Shift+Tab: the option of
    // its group that takes it instead (the chosen one, before any choice the
    // group's leader), or the option itself.
    const ControlDescription& tabbedIntoOptionGroup(const Form& form, const ControlDescription& option) const;
    // The command button that shows the default border now and takes Enter:
    // the window's focused command button, else its default button; nullptr
    // for none. A back end moves the border whenever the focus moves.
    const ControlDescription* currentDefaultButton(const Form& form);
    // The left mouse button went down, or came up, on the surface of
    // `control` (nullptr: on none of the window's controls that keep their
    // clicks); the back end holds the mouse from the press on, so that it
    // sees the release wherever it happens. The run-time decides: a click is
    // a press and a release on the same such control, and goes to its
    // handler. pointerLost forgets the press (the mouse was taken away).
    void pointerPressed(Form& form, const ControlDescription* control);
    void pointerReleased(Form& form, const ControlDescription* control);
    void pointerLost(Form& form);
    // Inside a catch block: reports the exception being handled as deliver()
    // does and ends the program. Nothing may unwind through the toolkit's or
    // the system's code.
    void failWithCurrentException() noexcept;
    // After the back end laid a window out anew (another resolution): every
    // label whose size follows its text fits it again.
    void fitSelfSizingLabels(Form& form);
    // Every loaded window, in the order of loading.
    std::vector<Form*> loadedForms() const;

private:
    struct LoadedForm
    {
        LoadedForm(std::type_index loadedType, std::unique_ptr<Form> loaded)
            : type(loadedType), form(std::move(loaded))
        {}

        std::type_index type;
        std::unique_ptr<Form> form;
        bool shownBefore = false;
        bool visible = false;
        const ControlDescription* lastFocus = nullptr; // where the focus goes when the window is active again
        NativeHandle window = nullptr;
        std::unique_ptr<WindowRecord> record;
        const ControlDescription* pressed = nullptr; // where the left button went down
        std::map<const ControlDescription*, NativeHandle> controls;
        std::map<NativeHandle, const ControlDescription*> described;
    };
    LoadedForm* entryOf(const Form& form);
    const LoadedForm* entryOf(const Form& form) const;

    Form* find(std::type_index type) const;
    void load(std::type_index type, std::unique_ptr<Form> form);
    void finish(int exitCode);
    void fail(std::string_view what);
    // Shows a message box in front of the window the user works in, if it is
    // shown; every window of the program is blocked while the box is open.
    void showModalBox(std::string_view text, const FocusPlace& place);
    // Asks the back end for an idle turn while texts wait to be prepared;
    // each turn draws the next of them.
    void schedulePreparation();
    void prepareNext();
    // A label whose size follows its text takes its text's size, keeping the
    // edge its alignment names.
    void fitToText(Form& form, const ControlDescription& label);
    // The control the focus goes to at a window's first show: its first Tab
    // stop (of an option group, the group's stop); nullptr for none.
    const ControlDescription* firstFocus(const Form& form) const;
    // Gives the window's remembered control the focus.
    void returnFocus(Form& form);

    std::string m_applicationTitle;
    std::vector<LoadedForm> m_forms;
    // Unloaded windows live on until every handler running has returned: a
    // handler may unload its own window and then another. m_running counts
    // the handlers and unload steps on the stack.
    std::vector<std::unique_ptr<Form>> m_unloaded;
    int m_running = 0;
    class Running;
    char16_t m_highSurrogate = 0; // the first half of a character typed in two
    // Texts to draw ahead of time, each with the window it is for.
    std::deque<std::pair<const WindowDescription*, TextSample>> m_preparing;
    bool m_preparingScheduled = false;
    bool m_ended = false;
    int m_exitCode = 0;
};

} // namespace forms
