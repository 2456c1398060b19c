// SPDX-License-Identifier: MIT
#include "runtime.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>

namespace forms {

Runtime::~Runtime() = default;

Form* Runtime::find(std::type_index type) const
{
    const auto it =
        std::find_if(m_forms.begin(), m_forms.end(), [&](const auto& entry) { return entry.first == type; });
    return it == m_forms.end() ? nullptr : it->second.get();
}

void Runtime::load(std::type_index type, std::unique_ptr<Form> form)
{
    Form& loaded = *form;
    m_forms.emplace_back(type, std::move(form));
    createWindow(loaded);
    loaded.Form_Load();
}

void Runtime::unload(Form& form)
{
    const auto it = std::find_if(m_forms.begin(), m_forms.end(),
                                 [&](const auto& entry) { return entry.second.get() == &form; });
    if (it == m_forms.end())
        return;
    form.Form_Unload();
    if (m_ended)
        return;
    // The unload step may itself have unloaded the window.
    const auto again = std::find_if(m_forms.begin(), m_forms.end(),
                                    [&](const auto& entry) { return entry.second.get() == &form; });
    if (again == m_forms.end())
        return;
    std::unique_ptr<Form> discarded = std::move(again->second);
    m_forms.erase(again);
    destroyWindow(*discarded);
    m_unloaded.push_back(std::move(discarded));
    if (m_forms.empty())
        end();
}

void Runtime::finish(int exitCode)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exitCode = exitCode;
    endProcess(exitCode);
}

void Runtime::deliver(const std::function<void()>& handler)
{
    if (m_ended)
        return;
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

void Runtime::messageBox(std::string_view text)
{
    const FocusPlace before = focusPlace();
    runMessageBox(text, m_applicationTitle);
    // The box may have been the last thing a failing program showed.
    if (m_ended || !before.form)
        return;
    const bool stillLoaded = std::any_of(
        m_forms.begin(), m_forms.end(), [&](const auto& entry) { return entry.second.get() == before.form; });
    if (stillLoaded)
        restoreFocus(*before.form, before.control);
}

void Runtime::fail(std::string_view what)
{
    if (m_ended)
        return;
    // Reporting is best effort: the program ends whether or not the box could be shown.
    try {
        runMessageBox("Laufzeitfehler: " + std::string(what) + "\n\n" + m_applicationTitle + " wird beendet.",
                      m_applicationTitle);
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
    writeCaption(form,
                 requireControl(form, control,
                                {ControlKind::Label, ControlKind::Frame, ControlKind::CommandButton,
                                 ControlKind::OptionButton},
                                "keine Beschriftung"),
                 text);
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

void Runtime::closeRequested(Form& form)
{
    deliver([this, &form] { unload(form); });
}

std::vector<Form*> Runtime::loadedForms() const
{
    std::vector<Form*> forms;
    for (const auto& entry : m_forms)
        forms.push_back(entry.second.get());
    return forms;
}

} // namespace forms
