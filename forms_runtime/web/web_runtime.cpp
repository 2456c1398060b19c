// SPDX-License-Identifier: MIT
#include "web_runtime.h"

#include "keyboard.h"
#include "system_colours.h"
#include "units.h"
#include "utf8.h"
#include "web_page.h"
#include "window_rules.h"

#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace forms {
namespace {

// The one picture of the program, a file beside the page.
struct WebPicture
{
    PictureId picture;
    const char* file;
};
constexpr WebPicture kPictures[] = {{"application-icon", "gradolux-32.png"}};

const char* pictureFile(PictureId picture)
{
    for (const WebPicture& known : kPictures)
        if (known.picture == picture)
            return known.file;
    return nullptr;
}

// The title bar's icon: the window's picture, shown only where there is a title bar.
const char* iconFile(const WindowDescription& description)
{
    const char* file = hasTitleBar(description) ? pictureFile(description.icon) : nullptr;
    return file ? file : "";
}

// The one run-time of the page, for the page's events.
WebRuntime*& currentRuntime()
{
    // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): the page's events find it here
    static WebRuntime* current = nullptr;
    return current;
}

// A handle is the page's number of the element, kept by the registry as an
// opaque key and never dereferenced.
NativeHandle handleOf(int element)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the number stands in for an address
    return reinterpret_cast<NativeHandle>(static_cast<std::uintptr_t>(element));
}

int numberOf(NativeHandle handle)
{
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(handle));
}

int rgbOf(StoredColour colour)
{
    const Rgb rgb = resolveColour(colour);
    return (rgb.red << 16) | (rgb.green << 8) | rgb.blue;
}

} // namespace

// What the back end keeps of a window besides the registry's numbers.
struct WebRuntime::Window final : Runtime::WindowRecord
{
    int element = 0;
};

WebRuntime::WebRuntime(std::string applicationTitle) : Runtime(std::move(applicationTitle))
{
    currentRuntime() = this;
    gx_start(this->applicationTitle().c_str());
}

WebRuntime::~WebRuntime()
{
    // The page's events reach no run-time from now on; what is left of the
    // windows leaves the page. A run-time made since owns the page already
    // (its numbers start anew): nothing of it is this one's to remove.
    if (currentRuntime() != this)
        return;
    currentRuntime() = nullptr;
    forEachWindowRecord(
        [](const WindowRecord& record) { gx_destroyWindow(static_cast<const Window&>(record).element); });
}

WebRuntime* WebRuntime::current()
{
    return currentRuntime();
}

bool WebRuntime::hasPicture(PictureId picture) const
{
    return pictureFile(picture) != nullptr;
}

int WebRuntime::elementOf(const Form& form) const
{
    return numberOf(nativeWindow(form));
}

int WebRuntime::elementOf(const Form& form, const ControlDescription& control) const
{
    return numberOf(nativeControl(form, control));
}

int WebRuntime::elementOf(const Form& form, std::string_view name, int index) const
{
    const ControlDescription* control = form.description().find(name, index);
    return control ? elementOf(form, *control) : 0;
}

std::pair<Form*, const ControlDescription*> WebRuntime::controlOf(int number) const
{
    for (Form* form : loadedForms())
        if (const ControlDescription* control = Runtime::controlOf(*form, handleOf(number)))
            return {form, control};
    return {nullptr, nullptr};
}

// ---- Building --------------------------------------------------------------

void WebRuntime::createWindow(Form& form)
{
    const WindowDescription& description = form.description();
    const int number = m_nextElement++;
    const WindowKind kind = windowKind(description);
    const std::string name(accessibleName(description, applicationTitle()));
    const std::string caption(description.caption);
    const std::string describedBy(description.describedBy);
    const StoredColour surface = windowSurface(description, false);
    if (!gx_createWindow(number, static_cast<int>(kind), caption.c_str(), name.c_str(), describedBy.c_str(),
                         twipsToPixels(description.clientWidth), twipsToPixels(description.clientHeight),
                         description.controlBox, description.minButton && kind == WindowKind::Main,
                         description.maxButton && kind == WindowKind::Main, isDialog(description),
                         rgbOf(surface), iconFile(description)))
        throw notBuilt(description);
    auto record = std::make_unique<Window>();
    record->element = number;
    registerWindow(form, handleOf(number), std::move(record));

    // Frames first, so that the controls inside them have their container;
    // each control knows its place in the tab order.
    const std::vector<const ControlDescription*> order = tabOrder(description);
    const auto orderOf = [&](const ControlDescription& control) {
        for (std::size_t i = 0; i < order.size(); ++i)
            if (order[i] == &control)
                return static_cast<int>(i);
        return -1;
    };
    for (const ControlDescription& control : description.controls)
        if (control.kind == ControlKind::Frame)
            buildControl(form, control, orderOf(control));
    for (const ControlDescription& control : description.controls)
        if (control.kind != ControlKind::Frame)
            buildControl(form, control, orderOf(control));
    for (const ControlDescription& control : description.controls) {
        if (control.kind == ControlKind::OptionButton && leadsOptionGroup(description, control))
            refreshGroupStop(form, control);
        // A text box is named by the label the run-time pairs it with.
        if (control.kind == ControlKind::TextBox)
            if (const ControlDescription* label = labelOf(description, control))
                gx_labelBy(elementOf(form, control), elementOf(form, *label));
    }
    refreshDefaultButton(form);
}

void WebRuntime::buildControl(Form& form, const ControlDescription& control, int order)
{
    const WindowDescription& description = form.description();
    const int number = m_nextElement++;
    const int container =
        control.container.empty() ? 0 : elementOf(form, *description.find(control.container));
    const FontSpec& font = control.font ? *control.font : description.font;
    const std::string text(control.text);
    const std::string accessible(control.accessibleName);
    const char* picture = control.picture.empty() ? "" : pictureFile(control.picture);
    const bool stop = isTabStop(control) && control.kind != ControlKind::OptionButton;
    const ControlColours colours = controlColours(control, false);
    const std::string name(control.name);
    if (!gx_createControl(
            elementOf(form), number, container, name.c_str(), control.index, static_cast<int>(control.kind),
            text.c_str(), twipsToPixels(control.rect.left), twipsToPixels(control.rect.top),
            twipsToPixels(control.rect.width), twipsToPixels(control.rect.height), order, stop,
            marksAccessKey(control.kind), control.kind == ControlKind::Label && wrapsText(control),
            static_cast<int>(control.alignment), fontPixels(font.points), font.weight, font.italic,
            font.underline, font.strikeOut, rgbOf(colours.text), rgbOf(colours.surface), control.sunken,
            picture, accessible.c_str(), control.isDefault))
        throw notBuilt(control);
    registerControl(form, control, handleOf(number));
}

// The window's elements leave the page; the registry forgets their numbers.
void WebRuntime::destroyWindow(Form& form)
{
    if (const int number = elementOf(form))
        gx_destroyWindow(number);
}

// A page cannot end its process: the program's windows are gone already,
// and the page says in one line that the program has ended, with a way to
// start it again.
void WebRuntime::endProcess(int exitCode)
{
    const std::string line =
        applicationTitle() + (exitCode == 0 ? " wurde beendet." : " wurde nach einem Fehler beendet.");
    gx_end(exitCode, line.c_str(), (applicationTitle() + " erneut starten").c_str());
}

// ---- Showing ---------------------------------------------------------------

PixelSize WebRuntime::clientSize(const Form& form)
{
    return {twipsToPixels(form.description().clientWidth), twipsToPixels(form.description().clientHeight)};
}

// The page draws the frames itself: their title bars and borders, as laid out.
FrameMargins WebRuntime::frameMargins(const Form& form)
{
    std::array<int, 4> margins{};
    gx_frameMargins(elementOf(form), margins.data());
    return {margins[0], margins[1], margins[2], margins[3]};
}

// The page's viewport is the screen the windows are placed on.
PixelRect WebRuntime::screenArea(const Form& /*form*/)
{
    std::array<int, 4> rect{};
    gx_screen(rect.data());
    return {rect[0], rect[1], rect[2], rect[3]};
}

// Always 15 twips to a CSS pixel: the browser's zoom and the screen's
// resolution scale CSS pixels as a whole.
double WebRuntime::pixelsPerTwip(const Form& /*form*/)
{
    return static_cast<double>(kReferenceDpi) / 1440.0;
}

void WebRuntime::placeClient(Form& form, PixelPoint clientTopLeft)
{
    gx_placeWindow(elementOf(form), clientTopLeft.x, clientTopLeft.y);
}

void WebRuntime::showWindow(Form& form)
{
    gx_showWindow(elementOf(form));
}

void WebRuntime::hideWindow(Form& form)
{
    gx_hideWindow(elementOf(form));
}

void WebRuntime::activateWindow(Form& form)
{
    gx_activate(elementOf(form));
}

// ---- Controls --------------------------------------------------------------

PixelRect WebRuntime::controlRect(const Form& form, const ControlDescription& control)
{
    std::array<int, 4> rect{};
    gx_controlRect(elementOf(form, control), rect.data());
    return {rect[0], rect[1], rect[2], rect[3]};
}

void WebRuntime::placeControl(Form& form, const ControlDescription& control, const PixelRect& rect)
{
    gx_placeControl(elementOf(form, control), rect.left, rect.top, rect.width, rect.height);
}

// The control's caption measured by the page in the control's own font, on one line.
PixelSize WebRuntime::textSize(const Form& form, const ControlDescription& control)
{
    std::array<int, 2> size{};
    gx_textSize(elementOf(form, control), size.data());
    return {size[0], size[1]};
}

bool WebRuntime::readSelected(const Form& form, const ControlDescription& control) const
{
    return gx_checked(elementOf(form, control)) != 0;
}

void WebRuntime::writeCaption(Form& form, const ControlDescription& control, std::string_view text)
{
    gx_setCaption(elementOf(form, control), std::string(text).c_str());
}

void WebRuntime::writeText(Form& form, const ControlDescription& control, std::string_view text)
{
    gx_setText(elementOf(form, control), std::string(text).c_str());
}

void WebRuntime::writeWindowCaption(Form& form, std::string_view text)
{
    gx_setWindowCaption(elementOf(form), std::string(text).c_str());
}

// ---- Keys and the focus ----------------------------------------------------

// The control of the window that has the focus (or last had it, while
// another window is active): the page keeps it per window.
const ControlDescription* WebRuntime::focusedControl(const Form& form)
{
    const int number = gx_focusedIn(elementOf(form));
    return number ? Runtime::controlOf(form, handleOf(number)) : nullptr;
}

// The focus moves, and the default border with it (onto a focused command
// button, else back to the window's default button).
void WebRuntime::focusControl(Form& form, const ControlDescription& control)
{
    gx_focus(elementOf(form, control));
    refreshDefaultButton(form);
}

void WebRuntime::pressControl(Form& form, const ControlDescription& control)
{
    // As a click would: a command button's click reaches its handler, an
    // option button is chosen. The press is made here, not by the page's
    // click(), so that a handler's message box suspends this call alone.
    if (control.kind == ControlKind::OptionButton) {
        gx_check(elementOf(form, control));
        refreshGroupStop(form, control);
    } else if (control.kind == ControlKind::CommandButton) {
        form.click(control.name);
    }
}

// Where the focus is in the whole program: the active window and its control.
Runtime::FocusPlace WebRuntime::focusPlace() const
{
    Form* form = formOf(handleOf(gx_activeWindow()));
    if (!form)
        return {};
    const int number = gx_focusedIn(elementOf(*form));
    return {form, number ? Runtime::controlOf(*form, handleOf(number)) : nullptr};
}

void WebRuntime::refreshGroupStop(Form& form, const ControlDescription& option)
{
    const ControlDescription& stop = tabbedIntoOptionGroup(form, option);
    for (const ControlDescription& other : form.description().controls)
        if (other.kind == ControlKind::OptionButton && other.container == option.container)
            gx_setTabStop(elementOf(form, other), &other == &stop && isTabStop(other));
}

void WebRuntime::refreshDefaultButton(Form& form)
{
    const ControlDescription* button = currentDefaultButton(form);
    for (const ControlDescription& control : form.description().controls)
        if (control.kind == ControlKind::CommandButton)
            gx_setDefault(elementOf(form, control), &control == button);
}

// ---- The message box, the screen reader, the user's settings --------------

void WebRuntime::runMessageBox(std::string_view text, std::string_view title, Form* owner)
{
    // The page suspends the program here until the user closes the box.
    gx_messageBox(std::string(text).c_str(), std::string(title).c_str(), owner ? elementOf(*owner) : 0);
}

// A blocked window is inert to the browser: no click, key or focus reaches it.
void WebRuntime::blockInput(Form& form, bool blocked)
{
    gx_block(elementOf(form), blocked);
}

// The words go to the window's polite live region, which screen readers
// read once; the page has no event that names a control alone.
void WebRuntime::announceStatus(Form& form, const ControlDescription& /*control*/, std::string_view text)
{
    gx_announce(elementOf(form), std::string(text).c_str());
}

// The separator of the browser's language (navigator.language), as the
// browser writes one and a half; a point where it cannot say.
std::string WebRuntime::localeDecimalSeparator() const
{
    std::array<char, 16> buffer{};
    gx_decimalSeparator(buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
}

// Steps run one per idle turn of the page, after its next frame is painted
// (idle below); one request to the page stands for all that wait.
void WebRuntime::whenIdle(std::function<void()> step)
{
    m_idleSteps.push_back(std::move(step));
    if (!m_idleRequested) {
        m_idleRequested = true;
        gx_requestIdle();
    }
}

// The page draws the text where nothing shows it, so that the font's
// glyphs are ready when a window draws them.
void WebRuntime::prepareText(const FontSpec& font, std::u32string_view text)
{
    gx_prepareText(fontPixels(font.points), font.weight, font.italic, utf8Of(text).c_str());
}

// ---- Events ----------------------------------------------------------------

// A key pressed in a window; true when the run-time took it, and the page
// then keeps the browser from acting on it as well.
bool WebRuntime::key(int window, const KeyStroke& stroke)
{
    Form* form = formOf(handleOf(window));
    return form && keyPressed(*form, stroke);
}

// The browser's click on a command button (a mouse click, or Space
// on it): the run-time delivers it to the handler.
void WebRuntime::buttonClicked(int control)
{
    if (const auto [form, clicked] = controlOf(control); form && clicked)
        form->click(clicked->name);
}

// The browser chose an option button: its group's one Tab stop follows it.
void WebRuntime::optionChosen(int control)
{
    if (const auto [form, chosen] = controlOf(control); form && chosen)
        refreshGroupStop(*form, *chosen);
}

// A press and a release reach the run-time, which decides what a click is.
void WebRuntime::pointer(int window, int control, Pointer what)
{
    Form* form = formOf(handleOf(window));
    if (!form)
        return;
    const ControlDescription* under = control ? Runtime::controlOf(*form, handleOf(control)) : nullptr;
    switch (what) {
    case Pointer::Pressed:
        pointerPressed(*form, under);
        break;
    case Pointer::Released:
        pointerReleased(*form, under);
        break;
    case Pointer::Lost:
        pointerLost(*form);
        break;
    }
}

// The close box of a drawn frame: the run-time unloads or ends.
void WebRuntime::frameClosed(int window)
{
    if (Form* form = formOf(handleOf(window)))
        closeRequested(*form);
}

void WebRuntime::activation(int window, bool active)
{
    Form* form = formOf(handleOf(window));
    if (!form)
        return;
    // The focus the run-time gives back moves the default border with it.
    if (active)
        windowActivated(*form);
    else
        windowDeactivated(*form);
}

// The browser moved the focus inside a window (a click on an option, say):
// the default border follows it.
void WebRuntime::focusMoved(int window)
{
    if (Form* form = formOf(handleOf(window)))
        refreshDefaultButton(*form);
}

void WebRuntime::idle()
{
    m_idleRequested = false;
    if (m_idleSteps.empty())
        return;
    std::function<void()> step = std::move(m_idleSteps.front());
    m_idleSteps.pop_front();
    if (!m_idleSteps.empty()) {
        m_idleRequested = true;
        gx_requestIdle();
    }
    step();
}

// The page's events, each under the run-time's error trap: nothing may
// unwind into the page's code.
template <class Event> void trapped(Event event)
{
    WebRuntime* runtime = WebRuntime::current();
    if (!runtime || runtime->hasEnded())
        return;
    try {
        event(*runtime);
    } catch (...) {
        runtime->reportEscaped();
    }
}

} // namespace forms

extern "C" {

EMSCRIPTEN_KEEPALIVE int gradolux_key(int window, int key, int codePoint, int shift, int control, int alt)
{
    forms::KeyStroke stroke{.key = static_cast<forms::KeyStroke::Key>(key),
                            .shift = shift != 0,
                            .control = control != 0,
                            .alt = alt != 0};
    if (codePoint > 0)
        stroke.text.push_back(static_cast<char32_t>(codePoint));
    bool taken = false;
    forms::trapped([&](forms::WebRuntime& runtime) { taken = runtime.key(window, stroke); });
    return taken ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void gradolux_button(int control)
{
    forms::trapped([&](forms::WebRuntime& runtime) { runtime.buttonClicked(control); });
}

EMSCRIPTEN_KEEPALIVE void gradolux_chosen(int control)
{
    forms::trapped([&](forms::WebRuntime& runtime) { runtime.optionChosen(control); });
}

EMSCRIPTEN_KEEPALIVE void gradolux_pointer(int window, int control, int what)
{
    forms::trapped([&](forms::WebRuntime& runtime) {
        runtime.pointer(window, control, static_cast<forms::WebRuntime::Pointer>(what));
    });
}

EMSCRIPTEN_KEEPALIVE void gradolux_close(int window)
{
    forms::trapped([&](forms::WebRuntime& runtime) { runtime.frameClosed(window); });
}

EMSCRIPTEN_KEEPALIVE void gradolux_activation(int window, int active)
{
    forms::trapped([&](forms::WebRuntime& runtime) { runtime.activation(window, active != 0); });
}

EMSCRIPTEN_KEEPALIVE void gradolux_focused(int window)
{
    forms::trapped([&](forms::WebRuntime& runtime) { runtime.focusMoved(window); });
}

EMSCRIPTEN_KEEPALIVE void gradolux_idle()
{
    forms::trapped([&](forms::WebRuntime& runtime) { runtime.idle(); });
}

} // extern "C"
