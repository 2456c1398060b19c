// SPDX-License-Identifier: MIT
#pragma once

// A run-time without a toolkit: it keeps the controls' state in maps and
// writes every operation a window asks for into a log, so that tests can
// check what a handler did and in which order. Names and kinds are checked
// against the window's description by the run-time itself, as for the real
// back ends: a handler that names a control the window lacks fails here too.

#include "runtime.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class FakeRuntime final : public forms::Runtime
{
public:
    FakeRuntime() : Runtime("Gradolux") {}

    void showWindow(forms::Form& form) override
    {
        log.push_back("show " + name(form));
        visible.insert(name(form));
    }
    forms::PixelSize clientSize(const forms::Form& /*form*/) override { return {}; }
    forms::FrameMargins frameMargins(const forms::Form& /*form*/) override { return {}; }
    forms::PixelRect screenArea(const forms::Form& /*form*/) override { return {}; }
    double pixelsPerTwip(const forms::Form& /*form*/) override { return 1.0 / 15; }
    void placeClient(forms::Form& /*form*/, forms::PixelPoint /*clientTopLeft*/) override {}
    forms::PixelRect controlRect(const forms::Form& /*form*/,
                                 const forms::ControlDescription& control) override
    {
        return {control.rect.left / 15, control.rect.top / 15, control.rect.width / 15,
                control.rect.height / 15};
    }
    void placeControl(forms::Form& /*form*/, const forms::ControlDescription& /*control*/,
                      const forms::PixelRect& /*rect*/) override
    {}
    forms::PixelSize textSize(const forms::Form& /*form*/,
                              const forms::ControlDescription& /*control*/) override
    {
        return {};
    }
    void hideWindow(forms::Form& form) override
    {
        log.push_back("hide " + name(form));
        visible.erase(name(form));
    }
    const forms::ControlDescription* focusedControl(const forms::Form& form) override
    {
        return focus.form == &form ? focus.control : nullptr;
    }
    void focusControl(forms::Form& form, const forms::ControlDescription& control) override
    {
        log.push_back("focus " + name(form) + "." + std::string(control.name));
        focus = {&form, &control};
    }
    void pressControl(forms::Form& form, const forms::ControlDescription& control) override
    {
        log.push_back("press " + std::string(control.name));
        form.click(control.name);
    }
    FocusPlace focusPlace() const override { return focus; }
    void activateWindow(forms::Form& form) override { log.push_back("activate " + name(form)); }
    void runMessageBox(std::string_view text, std::string_view title, forms::Form* owner) override
    {
        log.push_back("message " + std::string(text) + (owner ? " before " + name(*owner) : std::string()));
        titles.emplace_back(title);
    }
    void blockInput(forms::Form& form, bool blocked) override
    {
        log.push_back((blocked ? "block " : "unblock ") + name(form));
    }
    void announceStatus(forms::Form& /*form*/, const forms::ControlDescription& control,
                        std::string_view text) override
    {
        log.push_back("announce " + std::string(control.name) + "=" + std::string(text));
    }
    bool readSelected(const forms::Form& form, const forms::ControlDescription& control) const override
    {
        log.push_back("selected " + std::string(control.name));
        const auto it = selections.find(key(form, control.name));
        return it != selections.end() && it->second;
    }
    void writeCaption(forms::Form& form, const forms::ControlDescription& control,
                      std::string_view text) override
    {
        log.push_back("caption " + std::string(control.name) + "=" + std::string(text));
        texts[key(form, control.name)] = text;
    }
    void writeText(forms::Form& form, const forms::ControlDescription& control,
                   std::string_view text) override
    {
        log.push_back("text " + std::string(control.name) + "=" + std::string(text));
        texts[key(form, control.name)] = text;
    }
    void writeWindowCaption(forms::Form& form, std::string_view text) override
    {
        log.push_back("caption =" + std::string(text));
        texts[key(form, "")] = text;
    }
    std::string localeDecimalSeparator() const override { return separator; }
    bool hasPicture(forms::PictureId picture) const override
    {
        return pictures.contains(std::string(picture));
    }

    // Runs the first step waiting for an idle turn; false when none waits.
    bool runIdleTurn()
    {
        if (idle.empty())
            return false;
        const std::function<void()> step = idle.front();
        idle.erase(idle.begin());
        step();
        return true;
    }

    // Selects an option the way the toolkit would: exclusive within its container.
    void select(const forms::Form& form, std::string_view option)
    {
        const forms::ControlDescription* chosen = form.description().find(option);
        for (const forms::ControlDescription& control : form.description().controls)
            if (control.kind == forms::ControlKind::OptionButton && control.container == chosen->container)
                selections[key(form, control.name)] = control.name == option;
    }
    std::string textOf(const forms::Form& form, std::string_view control) const
    {
        const auto it = texts.find(key(form, control));
        return it == texts.end() ? std::string(form.description().find(control)->text) : it->second;
    }
    using Runtime::closeRequested;
    using Runtime::controlOf;
    using Runtime::formOf;
    using Runtime::loadedForms;
    using Runtime::nativeControl;
    using Runtime::nativeWindow;
    using Runtime::pointerLost;
    using Runtime::pointerPressed;
    using Runtime::pointerReleased;
    using Runtime::windowActivated;
    using Runtime::windowDeactivated;

    std::string separator = ",";
    std::set<std::string> pictures = {"application-icon"}; // the back end's catalogue
    bool refuseToBuild = false;                            // the platform builds no window
    FocusPlace focus;                                      // where focusPlace() says the focus is
    std::vector<std::string> titles;                       // of the message boxes, in order
    mutable std::vector<std::string> log;
    std::set<std::string> visible;
    std::vector<std::string> destroyed;
    int created = 0;
    int ended = 0;
    std::vector<int> exitCodes;
    std::vector<std::function<void()>> idle; // steps waiting for an idle turn
    std::vector<forms::TextSample> prepared; // drawn ahead of time, in order

protected:
    void createWindow(forms::Form& form) override
    {
        ++created;
        log.push_back("create " + name(form));
        // Stand-ins for native handles: the addresses of the descriptions.
        registerWindow(form, const_cast<forms::WindowDescription*>(&form.description()));
        if (refuseToBuild)
            throw forms::notBuilt(form.description());
        for (const forms::ControlDescription& control : form.description().controls)
            registerControl(form, control, const_cast<forms::ControlDescription*>(&control));
    }
    void destroyWindow(forms::Form& form) override
    {
        // What a back end releases, the registry still knows at this point.
        if (nativeWindow(form) != &form.description())
            destroyed.push_back("unknown");
        destroyed.push_back(name(form));
        visible.erase(name(form));
        for (auto it = texts.begin(); it != texts.end();)
            it = it->first.starts_with(name(form) + ".") ? texts.erase(it) : std::next(it);
    }
    void whenIdle(std::function<void()> step) override { idle.push_back(std::move(step)); }
    void prepareText(const forms::FontSpec& font, std::u32string_view text) override
    {
        prepared.push_back({font, std::u32string(text)});
    }
    void endProcess(int exitCode) override
    {
        ++ended;
        exitCodes.push_back(exitCode);
        visible.clear();
    }

private:
    static std::string name(const forms::Form& form) { return std::string(form.description().name); }
    static std::string key(const forms::Form& form, std::string_view control)
    {
        return name(form) + "." + std::string(control);
    }

    std::map<std::string, bool> selections;
    std::map<std::string, std::string> texts;
};
