// SPDX-License-Identifier: MIT
#include "runtime.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>
#include <utility>

namespace forms {

Runtime::~Runtime() = default;

Form* Runtime::find(std::type_index type) const
{
    const auto it = std::find_if(m_forms.begin(), m_forms.end(),
                                 [&](const LoadedForm& entry) { return entry.type == type; });
    return it == m_forms.end() ? nullptr : it->form.get();
}

void Runtime::load(std::type_index type, std::unique_ptr<Form> form)
{
    // A picture the program lacks is an error of the program, reported like
    // any other, before anything is built.
    const WindowDescription& description = form->description();
    if (!description.icon.empty() && !hasPicture(description.icon))
        throw unknownPicture(description.icon);
    for (const ControlDescription& control : description.controls)
        if (!control.picture.empty() && !hasPicture(control.picture))
            throw unknownPicture(control.picture);

    Form& loaded = *form;
    m_forms.emplace_back(type, std::move(form));
    try {
        createWindow(loaded);
    } catch (...) {
        // A window the platform could not build is not loaded: what was
        // built of it goes, and nothing refers to it any more.
        destroyWindow(loaded);
        m_forms.pop_back();
        throw;
    }
    fitSelfSizingLabels(loaded);
    loaded.Form_Load();
}

void Runtime::show(Form& form)
{
    LoadedForm* entry = entryOf(form);
    if (!entry)
        throw notLoaded(form.description());
    if (!entry->shownBefore) {
        entry->shownBefore = true;
        entry->lastFocus = firstFocus(form);
        // The frame counts only for centring; a window at a fixed place has
        // its client area there.
        const WindowDescription& description = form.description();
        const FrameMargins frame =
            description.startPosition == StartPosition::CentreScreen ? frameMargins(form) : FrameMargins{};
        const PixelSize client = clientSize(form);
        placeClient(form, firstShowClientPosition(description, client.width, client.height, frame,
                                                  screenArea(form), pixelsPerTwip(form)));
    }
    entry->visible = true;
    showWindow(form);
    returnFocus(form);
}

void Runtime::hide(Form& form)
{
    LoadedForm* entry = entryOf(form);
    if (!entry)
        throw notLoaded(form.description());
    if (const ControlDescription* focused = focusedControl(form))
        entry->lastFocus = focused;
    entry->visible = false;
    hideWindow(form);
}

const ControlDescription* Runtime::firstFocus(const Form& form) const
{
    const std::vector<const ControlDescription*> stops = tabOrder(form.description());
    if (stops.empty())
        return nullptr;
    const ControlDescription& first = *stops.front();
    return first.kind == ControlKind::OptionButton ? &tabbedIntoOptionGroup(form, first) : &first;
}

void Runtime::returnFocus(Form& form)
{
    if (const LoadedForm* entry = entryOf(form); entry && entry->lastFocus)
        focusControl(form, *entry->lastFocus);
}

void Runtime::windowActivated(Form& form)
{
    returnFocus(form);
}

void Runtime::windowDeactivated(Form& form)
{
    LoadedForm* entry = entryOf(form);
    if (!entry)
        return;
    if (const ControlDescription* focused = focusedControl(form))
        entry->lastFocus = focused;
}

void Runtime::fitToText(Form& form, const ControlDescription& label)
{
    const PixelSize text = textSize(form, label);
    placeControl(form, label, autoSizedRect(label, controlRect(form, label), text.width, text.height));
}

void Runtime::fitSelfSizingLabels(Form& form)
{
    for (const ControlDescription& control : form.description().controls)
        if (control.kind == ControlKind::Label && control.autoSize)
            fitToText(form, control);
}

// While one lives, a handler or unload step runs; when the last one goes,
// the windows unloaded meanwhile are freed.
class Runtime::Running
{
public:
    explicit Running(Runtime& runtime) : m_runtime(runtime) { ++m_runtime.m_running; }
    ~Running()
    {
        if (--m_runtime.m_running == 0)
            m_runtime.m_unloaded.clear();
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    Runtime& m_runtime;
};

void Runtime::unload(Form& form)
{
    if (!entryOf(form))
        return;
    const Running running(*this);
    form.Form_Unload();
    // The unload step may have ended the program or unloaded the window itself.
    if (m_ended || !entryOf(form))
        return;
    // The back end releases what it built while the registry still knows it.
    destroyWindow(form);
    const auto entry = std::find_if(m_forms.begin(), m_forms.end(),
                                    [&](const LoadedForm& loaded) { return loaded.form.get() == &form; });
    std::unique_ptr<Form> discarded = std::move(entry->form);
    m_forms.erase(entry);
    m_unloaded.push_back(std::move(discarded));
    if (m_forms.empty())
        end();
}

Runtime::LoadedForm* Runtime::entryOf(const Form& form)
{
    const auto it = std::find_if(m_forms.begin(), m_forms.end(),
                                 [&](const LoadedForm& entry) { return entry.form.get() == &form; });
    return it == m_forms.end() ? nullptr : &*it;
}

const Runtime::LoadedForm* Runtime::entryOf(const Form& form) const
{
    const auto it = std::find_if(m_forms.begin(), m_forms.end(),
                                 [&](const LoadedForm& entry) { return entry.form.get() == &form; });
    return it == m_forms.end() ? nullptr : &*it;
}

void Runtime::registerWindow(const Form& form, NativeHandle window, std::unique_ptr<WindowRecord> record)
{
    if (LoadedForm* entry = entryOf(form)) {
        entry->window = window;
        entry->record = std::move(record);
    }
}

Runtime::WindowRecord* Runtime::windowRecord(const Form& form) const
{
    const LoadedForm* entry = entryOf(form);
    return entry ? entry->record.get() : nullptr;
}

void Runtime::registerControl(const Form& form, const ControlDescription& control, NativeHandle handle)
{
    if (LoadedForm* entry = entryOf(form)) {
        entry->controls[&control] = handle;
        entry->described[handle] = &control;
    }
}

NativeHandle Runtime::nativeWindow(const Form& form) const
{
    const LoadedForm* entry = entryOf(form);
    return entry ? entry->window : nullptr;
}

NativeHandle Runtime::nativeControl(const Form& form, const ControlDescription& control) const
{
    const LoadedForm* entry = entryOf(form);
    if (!entry)
        return nullptr;
    const auto it = entry->controls.find(&control);
    return it == entry->controls.end() ? nullptr : it->second;
}

Form* Runtime::formOf(NativeHandle window) const
{
    const auto it = std::find_if(m_forms.begin(), m_forms.end(),
                                 [&](const LoadedForm& entry) { return window && entry.window == window; });
    return it == m_forms.end() ? nullptr : it->form.get();
}

const ControlDescription* Runtime::controlOf(const Form& form, NativeHandle handle) const
{
    const LoadedForm* entry = entryOf(form);
    if (!entry || !handle)
        return nullptr;
    const auto it = entry->described.find(handle);
    return it == entry->described.end() ? nullptr : it->second;
}

void Runtime::finish(int exitCode)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exitCode = exitCode;
    // Every window disappears at once, the hidden splash and an open dialog
    // alike; none runs a closing step.
    for (const LoadedForm& entry : m_forms)
        hideWindow(*entry.form);
    endProcess(exitCode);
}

void Runtime::deliver(const std::function<void()>& handler)
{
    if (m_ended)
        return;
    const Running running(*this);
    try {
        handler();
    } catch (...) {
        failWithCurrentException();
    }
}

void Runtime::failWithCurrentException() noexcept
{
    try {
        throw;
    } catch (const Error& error) {
        fail(error.what());
    } catch (const std::bad_alloc&) {
        fail("Nicht genügend Arbeitsspeicher.");
    } catch (const std::exception& error) {
        // Texts of the standard library and of other layers are not meant
        // for the user; they go to the error output for whoever looks.
        std::fprintf(stderr, "%s: %s\n", m_applicationTitle.c_str(), error.what());
        fail("Ein interner Fehler ist aufgetreten.");
    } catch (...) {
        fail("Ein interner Fehler ist aufgetreten.");
    }
}

Error notBuilt(const WindowDescription& window)
{
    return Error{"Das Fenster " + std::string(window.name) + " lässt sich nicht anlegen."};
}

Error notBuilt(const ControlDescription& control)
{
    return Error{std::string(control.name) + " lässt sich nicht anlegen."};
}

Error notLoaded(const WindowDescription& window)
{
    return Error{"Das Fenster " + std::string(window.name) + " ist nicht geladen."};
}

Error unknownPicture(PictureId picture)
{
    return Error{"Das Bild „" + std::string(picture) + "“ gibt es nicht."};
}

std::string displayFailureMessage(std::string_view applicationTitle, DisplayFailure failure,
                                  std::string_view name)
{
    std::string line(applicationTitle);
    switch (failure) {
    case DisplayFailure::NoConnection:
        line += ": Die Bildschirmanbindung „" + std::string(name) + "“ lässt sich nicht starten.";
        break;
    case DisplayFailure::NoDisplay:
        line += ": Keine Anzeige angegeben (DISPLAY ist nicht gesetzt); das Programm braucht eine grafische "
                "Oberfläche.";
        break;
    case DisplayFailure::Unreachable:
        line += ": Die Anzeige „" + std::string(name) + "“ lässt sich nicht öffnen.";
        break;
    }
    return line + "\n";
}

void Runtime::messageBox(std::string_view text)
{
    const FocusPlace before = focusPlace();
    if (LoadedForm* entry = before.form ? entryOf(*before.form) : nullptr; entry && before.control)
        entry->lastFocus = before.control;
    showModalBox(text, before);
    // The box may have been the last thing a failing program showed; a
    // window hidden meanwhile (the splash) stays out of the way.
    if (m_ended || !before.form)
        return;
    if (const LoadedForm* entry = entryOf(*before.form); entry && entry->visible) {
        activateWindow(*before.form);
        returnFocus(*before.form);
    }
}

void Runtime::showModalBox(std::string_view text, const FocusPlace& place)
{
    const LoadedForm* owner = place.form ? entryOf(*place.form) : nullptr;
    const std::vector<Form*> blocked = loadedForms();
    for (Form* form : blocked)
        blockInput(*form, true);
    runMessageBox(text, m_applicationTitle, owner && owner->visible ? place.form : nullptr);
    for (Form* form : blocked)
        if (entryOf(*form))
            blockInput(*form, false);
}

void Runtime::fail(std::string_view what)
{
    if (m_ended)
        return;
    // Reporting is best effort: the program ends whether or not the box could be shown.
    try {
        showModalBox("Laufzeitfehler: " + std::string(what) + "\n\n" + m_applicationTitle + " wird beendet.",
                     focusPlace());
    } catch (...) {
    }
    finish(1);
}

namespace {

// The kind of control with its indefinite article, as a sentence names it.
const char* kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
        return "ein Bezeichnungsfeld";
    case ControlKind::Frame:
        return "ein Rahmen";
    case ControlKind::OptionButton:
        return "ein Optionsfeld";
    case ControlKind::TextBox:
        return "ein Textfeld";
    case ControlKind::CommandButton:
        return "eine Befehlsschaltfläche";
    case ControlKind::Image:
        return "eine Anzeige";
    case ControlKind::PictureBox:
        return "ein Bildfeld";
    case ControlKind::Line:
        return "eine Linie";
    }
    return "ein Steuerelement";
}

// The control `name` of the form's description, which must be of one of `kinds`.
const ControlDescription& requireControl(const Form& form, std::string_view name,
                                         std::initializer_list<ControlKind> kinds, std::string_view property)
{
    const ControlDescription* control = form.description().find(name);
    if (!control)
        throw Error("Das Fenster " + std::string(form.description().name) + " hat kein Steuerelement " +
                    std::string(name) + ".");
    if (std::find(kinds.begin(), kinds.end(), control->kind) == kinds.end())
        throw Error(std::string(name) + " ist " + kindName(control->kind) + " und hat " +
                    std::string(property) + ".");
    return *control;
}

} // namespace

bool Runtime::selected(const Form& form, std::string_view control) const
{
    return readSelected(form,
                        requireControl(form, control, {ControlKind::OptionButton}, "keinen Auswahlzustand"));
}

void Runtime::setCaption(Form& form, std::string_view control, std::string_view text)
{
    const ControlDescription& captioned = requireControl(
        form, control,
        {ControlKind::Label, ControlKind::Frame, ControlKind::CommandButton, ControlKind::OptionButton},
        "keine Beschriftung");
    writeCaption(form, captioned, text);
    if (captioned.kind == ControlKind::Label && captioned.autoSize)
        fitToText(form, captioned);
}

void Runtime::checkClickable(const Form& form, std::string_view control) const
{
    requireControl(form, control, {ControlKind::CommandButton, ControlKind::Frame}, "keine Klickereignisse");
}

void Runtime::setText(Form& form, std::string_view control, std::string_view text)
{
    writeText(form, requireControl(form, control, {ControlKind::TextBox}, "keinen Text"), text);
}

void Runtime::announce(Form& form, std::string_view control, std::string_view text)
{
    const ControlDescription* shown = form.description().find(control);
    if (!shown)
        throw Error("Das Fenster " + std::string(form.description().name) + " hat kein Steuerelement " +
                    std::string(control) + ".");
    announceStatus(form, *shown, text);
}

void Runtime::setWindowCaption(Form& form, std::string_view text)
{
    writeWindowCaption(form, text);
}

bool Runtime::keyPressed(Form& form, const KeyStroke& key)
{
    const WindowDescription& window = form.description();
    if (window.keyPreview && typesCharacter(key)) {
        for (const char32_t character : key.text)
            form.keyPress(character);
        return true;
    }
    const ControlDescription* focused = focusedControl(form);
    const std::string_view focusedName = focused ? focused->name : std::string_view();
    if (key.text.size() == 1 && !key.control) {
        const AccessKeyAction action = key.alt ? accessKeyAction(window, key.text.front(), focusedName)
                                               : plainLetterAction(window, key.text.front(), focusedName);
        if (action.control) {
            focusControl(form, *action.control);
            if (action.press)
                pressControl(form, *action.control);
            return true;
        }
    }
    if (const ControlDescription* option = optionForArrow(window, key, focusedName)) {
        focusControl(form, *option);
        pressControl(form, *option);
        return true;
    }
    if (const ControlDescription* button = buttonForKey(window, key, focusedName)) {
        pressControl(form, *button);
        return true;
    }
    return false;
}

bool Runtime::unitTyped(Form& form, char16_t unit, bool alt)
{
    // Only a window with key preview takes text; anywhere else a half goes
    // on to the control, which joins the two itself.
    if (!form.description().keyPreview)
        return keyPressed(form, {.text = {unit}, .alt = alt});
    if (unit >= 0xD800 && unit < 0xDC00) {
        m_highSurrogate = unit;
        return true;
    }
    char32_t character = unit;
    if (unit >= 0xDC00 && unit < 0xE000) {
        if (!m_highSurrogate)
            return true; // a second half without its first names nothing
        character = 0x10000 + ((static_cast<char32_t>(m_highSurrogate) - 0xD800) << 10) + (unit - 0xDC00);
    }
    m_highSurrogate = 0;
    return keyPressed(form, {.text = {character}, .alt = alt});
}

void Runtime::prepare(const WindowDescription& window)
{
    // Pieces small enough that a key pressed meanwhile waits for at most a
    // few glyphs being drawn.
    constexpr std::size_t kPieceLength = 16;
    for (TextSample& sample : textSamples(window, kPieceLength))
        m_preparing.emplace_back(&window, std::move(sample));
    schedulePreparation();
}

void Runtime::schedulePreparation()
{
    if (m_preparingScheduled || m_preparing.empty())
        return;
    m_preparingScheduled = true;
    whenIdle([this] { deliver([this] { prepareNext(); }); });
}

void Runtime::prepareNext()
{
    m_preparingScheduled = false;
    const auto loaded = [this](const WindowDescription* window) {
        return std::any_of(m_forms.begin(), m_forms.end(),
                           [&](const LoadedForm& entry) { return &entry.form->description() == window; });
    };
    while (!m_preparing.empty() && loaded(m_preparing.front().first))
        m_preparing.pop_front();
    if (m_preparing.empty())
        return;
    const TextSample sample = std::move(m_preparing.front().second);
    m_preparing.pop_front();
    prepareText(sample.font, sample.text);
    schedulePreparation();
}

const ControlDescription* Runtime::currentDefaultButton(const Form& form)
{
    const ControlDescription* focused = focusedControl(form);
    return defaultButton(form.description(), focused ? focused->name : std::string_view());
}

const ControlDescription& Runtime::tabbedIntoOptionGroup(const Form& form,
                                                         const ControlDescription& option) const
{
    return optionGroupStop(form.description(), option,
                           [&](const ControlDescription& other) { return readSelected(form, other); });
}

void Runtime::pointerPressed(Form& form, const ControlDescription* control)
{
    if (LoadedForm* entry = entryOf(form))
        entry->pressed = control && swallowsClicks(control->kind) ? control : nullptr;
}

void Runtime::pointerReleased(Form& form, const ControlDescription* control)
{
    LoadedForm* entry = entryOf(form);
    if (!entry)
        return;
    const ControlDescription* pressed = std::exchange(entry->pressed, nullptr);
    if (pressed && pressed == control)
        form.click(control->name);
}

void Runtime::pointerLost(Form& form)
{
    if (LoadedForm* entry = entryOf(form))
        entry->pressed = nullptr;
}

void Runtime::closeRequested(Form& form)
{
    deliver([this, &form] { unload(form); });
}

std::vector<Form*> Runtime::loadedForms() const
{
    std::vector<Form*> forms;
    for (const LoadedForm& entry : m_forms)
        forms.push_back(entry.form.get());
    return forms;
}

} // namespace forms
