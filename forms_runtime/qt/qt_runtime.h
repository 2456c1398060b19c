// SPDX-License-Identifier: MIT
#pragma once

// The forms run-time on Qt Widgets: builds each window from its description
// (twips to logical pixels, points to pixel heights, stored colours through
// the fixed system-colour table), delivers clicks, key presses and frame
// closes to the window's handlers, and implements show, hide, unload, end and
// the message box. The one place in the program that knows both the window
// descriptions and Qt.

#include "runtime.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QObject;
class QTranslator;

namespace forms {

class AnnouncedFrame;

class QtRuntime final : public Runtime
{
public:
    // Needs a QApplication. Sets the application-wide style, palette and font
    // substitutions that the window descriptions assume, and makes the
    // toolkit's own texts German.
    explicit QtRuntime(std::string applicationTitle);
    ~QtRuntime() override;
    QtRuntime(const QtRuntime&) = delete;
    QtRuntime& operator=(const QtRuntime&) = delete;

    // The top-level widget of a loaded window, or nullptr.
    QWidget* window(const Form& form) const;
    // A control of a loaded window by name, an element of a control array by
    // name and element number; nullptr when there is none.
    QWidget* controlNamed(const Form& form, std::string_view name, int index = -1) const;

    // Whether the window takes a click or a key now: neither a modal window
    // of the toolkit nor the run-time's block stands in its way.
    bool takesInput(const Form& form) const;

    // What ending does after every window has gone; by default it leaves the
    // application's event loop with the exit code. Tests replace it.
    void setExitHandler(std::function<void(int)> handler) { m_exit = std::move(handler); }

protected:
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
    bool readSelected(const Form& form, const ControlDescription& control) const override;
    void writeCaption(Form& form, const ControlDescription& control, std::string_view text) override;
    void writeText(Form& form, const ControlDescription& control, std::string_view text) override;
    void writeWindowCaption(Form& form, std::string_view text) override;
    void createWindow(Form& form) override;
    void destroyWindow(Form& form) override;
    void endProcess(int exitCode) override;
    void whenIdle(std::function<void()> step) override;
    void prepareText(const FontSpec& font, std::u32string_view text) override;

private:
    struct Window;
    class Events;
    class InputGate;
    Window& windowOf(const Form& form) const;
    // A window has been painted.
    void windowPainted();
    // Shows the default border on the button that Enter would press.
    void markDefaultButton(const Form& form);
    void createControl(Form& form, Window& window, const ControlDescription& control);
    void arrangeFocus(const Form& form);
    // The registry's native control of a control, as the widget it is (the
    // other way round, controlOf serves as it is).
    QWidget* nativeControl(const Form& form, const ControlDescription& control) const;

    std::function<void(int)> m_exit;
    std::unique_ptr<QObject> m_context; // owns queued calls; gone with the run-time
    std::unique_ptr<QTranslator> m_toolkitGerman;
    std::unique_ptr<AnnouncedFrame>
        m_frame;                       // asked after the first paint, read at a centred window's first show
    std::unique_ptr<InputGate> m_gate; // holds back the input of blocked windows
    bool m_painted = false;            // a first window has been painted
    std::vector<std::function<void()>> m_afterFirstPaint;
};

} // namespace forms
