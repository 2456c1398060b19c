// SPDX-License-Identifier: MIT
#pragma once

// The forms run-time in the browser: each window description becomes a
// window drawn in the page (a frame with its title bar, or a bare bordered
// box for a splash) holding DOM elements placed in CSS pixels, 15 twips to
// a pixel; the browser's zoom scales them as a whole. The elements' events
// come back through the exported functions in web_runtime.cpp and reach
// the run-time as raw events; the run-time decides everything else.

#include "runtime.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace forms {

class WebRuntime final : public Runtime
{
public:
    explicit WebRuntime(std::string applicationTitle);
    ~WebRuntime() override;
    WebRuntime(const WebRuntime&) = delete;
    WebRuntime& operator=(const WebRuntime&) = delete;

    // The one run-time of the page, for the exported event functions;
    // nullptr before it is made and after it is gone.
    static WebRuntime* current();

    // What the left button did, as the page reports it.
    enum class Pointer
    {
        Pressed = 0,  // went down on the window (on `control`, or 0 for its surface)
        Released = 1, // came up (over `control` of the window pressed, or 0)
        Lost = 2,     // the page took the pointer away (a cancelled touch, say)
    };

    // The events the page reports, by the element numbers the back end gave
    // its windows and controls. True where the run-time took a key.
    bool key(int window, const KeyStroke& stroke);
    void buttonClicked(int control);
    void optionChosen(int control);
    void pointer(int window, int control, Pointer what);
    void frameClosed(int window);
    void activation(int window, bool active);
    void focusMoved(int window);
    void idle();
    // Inside a catch block: reports the exception that escaped an event and
    // ends the program.
    void reportEscaped() noexcept { failWithCurrentException(); }

    // The number of the element that shows a window or a control, 0 for none.
    int elementOf(const Form& form) const;
    int elementOf(const Form& form, const ControlDescription& control) const;
    int elementOf(const Form& form, std::string_view name, int index = -1) const;

protected:
    void createWindow(Form& form) override;
    void destroyWindow(Form& form) override;
    void endProcess(int exitCode) override;
    PixelSize clientSize(const Form& form) override;
    FrameMargins frameMargins(const Form& form) override;
    PixelRect screenArea(const Form& form) override;
    double pixelsPerTwip(const Form& form) override;
    void placeClient(Form& form, PixelPoint clientTopLeft) override;
    void showWindow(Form& form) override;
    void hideWindow(Form& form) override;
    PixelRect controlRect(const Form& form, const ControlDescription& control) override;
    void placeControl(Form& form, const ControlDescription& control, const PixelRect& rect) override;
    PixelSize textSize(const Form& form, const ControlDescription& control) override;
    bool readSelected(const Form& form, const ControlDescription& control) const override;
    void writeCaption(Form& form, const ControlDescription& control, std::string_view text) override;
    void writeText(Form& form, const ControlDescription& control, std::string_view text) override;
    void writeWindowCaption(Form& form, std::string_view text) override;
    const ControlDescription* focusedControl(const Form& form) override;
    void focusControl(Form& form, const ControlDescription& control) override;
    void pressControl(Form& form, const ControlDescription& control) override;
    FocusPlace focusPlace() const override;
    void activateWindow(Form& form) override;
    void runMessageBox(std::string_view text, std::string_view title, Form* owner) override;
    void blockInput(Form& form, bool blocked) override;
    void announceStatus(Form& form, const ControlDescription& control, std::string_view text) override;
    std::string localeDecimalSeparator() const override;
    bool hasPicture(PictureId picture) const override;
    void whenIdle(std::function<void()> step) override;
    void prepareText(const FontSpec& font, std::u32string_view text) override;

private:
    struct Window;
    Window* windowOf(int element) const;
    // The window and control an element number names; nullptr for none.
    std::pair<Form*, const ControlDescription*> controlOf(int number) const;
    void buildControl(Form& form, const ControlDescription& control, int order);
    // Gives the Tab stop of the option group of `option` to the option the
    // run-time names, and takes it from the others.
    void refreshGroupStop(Form& form, const ControlDescription& option);
    // The default border on the button the run-time names for the focus now.
    void refreshDefaultButton(Form& form);

    int m_nextElement = 1;
    bool m_idleRequested = false;
    std::deque<std::function<void()>> m_idleSteps;
};

} // namespace forms
