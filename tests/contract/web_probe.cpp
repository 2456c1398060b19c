// SPDX-License-Identifier: MIT
// The contract test's probe for the web back end: the windows read back from
// the page, clicks and keys given as the page's events (web_probe.js). Runs
// in headless Chromium in the web lane; the page lays out in CSS pixels, 96
// to the inch, and the browser's zoom scales it as a whole.

#include "backend_probe.h"
#include "system_colours.h"
#include "units.h"
#include "utf8.h"
#include "web_runtime.h"

#include <emscripten/emscripten.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>

extern "C" {
void probe_activate(int window);
void probe_focus(int element);
void probe_key(const char* key, const char* code, int shift, int alt);
void probe_mouse(int x, int y, int down);
void probe_centre(int element, int* out);
void probe_clientOrigin(int window, int* out);
void probe_outerRect(int window, int* out);
void probe_controlRect(int element, int* out);
void probe_font(int element, int* out);
void probe_colours(int element, int* out);
char* probe_text(int element);
char* probe_windowCaption(int window);
int probe_visible(int window);
int probe_exists(int window);
void probe_closeFrame(int window);
int probe_hasTitleBar(int window);
int probe_isMain(int window);
int probe_active(int window);
int probe_focused(int window);
int probe_takesInput(int window);
int probe_exitCodes();
char* probe_accessibleName(int window, int element);
void probe_listen();
char* probe_heard();
char* probe_userNumber();
void probe_measure(int element, int* out);
void probe_screen(int* out);
void probe_duringNextBox();
}

namespace {

std::function<void()> s_during; // what runs while the next message box is open

// A string the page made for the probe, freed once read.
std::string taken(char* text)
{
    std::string copy = text ? text : "";
    std::free(text); // NOLINT(cppcoreguidelines-no-malloc): the page allocates with malloc
    return copy;
}

forms::PixelRect rectOf(const std::array<int, 4>& values)
{
    return {values[0], values[1], values[2], values[3]};
}

// The key a KeyStroke::Key is on the page, and its code.
std::pair<const char*, const char*> pageKey(forms::KeyStroke::Key key)
{
    using Key = forms::KeyStroke::Key;
    switch (key) {
    case Key::Return:
        return {"Enter", "Enter"};
    case Key::Enter:
        return {"Enter", "NumpadEnter"};
    case Key::Escape:
        return {"Escape", "Escape"};
    case Key::Delete:
        return {"Delete", "Delete"};
    case Key::Up:
        return {"ArrowUp", "ArrowUp"};
    case Key::Down:
        return {"ArrowDown", "ArrowDown"};
    case Key::Left:
        return {"ArrowLeft", "ArrowLeft"};
    case Key::Right:
        return {"ArrowRight", "ArrowRight"};
    case Key::Other:
        break;
    }
    return {"", ""};
}

class WebProbe final : public BackendProbe
{
public:
    WebProbe() : m_runtime("Gradolux") {}
    ~WebProbe() override { s_during = nullptr; }
    WebProbe(const WebProbe&) = delete;
    WebProbe& operator=(const WebProbe&) = delete;

    forms::Runtime& runtime() override { return m_runtime; }
    int dpi() const override { return forms::kReferenceDpi; }
    std::vector<int> exitCodes() const override
    {
        const int code = probe_exitCodes();
        return code < 0 ? std::vector<int>{} : std::vector<int>{code};
    }

    forms::PixelRect controlRect(const forms::Form& form, std::string_view name, int index) override
    {
        std::array<int, 4> rect{};
        probe_controlRect(m_runtime.elementOf(form, name, index), rect.data());
        return rectOf(rect);
    }
    forms::PixelRect clientRect(const forms::Form& form) override
    {
        std::array<int, 4> rect{};
        probe_clientOrigin(m_runtime.elementOf(form), rect.data());
        return {0, 0, rect[2], rect[3]};
    }
    ShownFont font(const forms::Form& form, std::string_view name) override
    {
        std::array<int, 4> font{};
        probe_font(m_runtime.elementOf(form, name), font.data());
        return {font[0], font[1]};
    }
    ShownColours colours(const forms::Form& form, std::string_view name, int index) override
    {
        std::array<int, 4> colours{};
        probe_colours(m_runtime.elementOf(form, name, index), colours.data());
        return {static_cast<std::uint32_t>(colours[0]), static_cast<std::uint32_t>(colours[1])};
    }
    std::uint32_t systemColourValue(std::uint32_t index) override
    {
        const forms::Rgb rgb = forms::resolveColour(forms::systemColour(index));
        return static_cast<std::uint32_t>(rgb.red | (rgb.green << 8) | (rgb.blue << 16));
    }
    std::string text(const forms::Form& form, std::string_view name) override
    {
        return taken(probe_text(m_runtime.elementOf(form, name)));
    }
    std::string windowCaption(const forms::Form& form) override
    {
        return taken(probe_windowCaption(m_runtime.elementOf(form)));
    }
    bool visible(const forms::Form& form) override { return probe_visible(m_runtime.elementOf(form)) != 0; }

    void click(const forms::Form& form, std::string_view name) override
    {
        std::array<int, 4> centre{};
        probe_centre(m_runtime.elementOf(form, name), centre.data());
        probe_mouse(centre[0], centre[1], 1);
        probe_mouse(centre[0], centre[1], 0);
    }
    void space(const forms::Form& form, std::string_view focus) override
    {
        activate(form, focus);
        probe_key(" ", "Space", 0, 0);
    }
    void key(const forms::Form& form, forms::KeyStroke::Key key, std::string_view focus) override
    {
        activate(form, focus);
        const auto [name, code] = pageKey(key);
        if (*name)
            probe_key(name, code, 0, 0);
    }
    void mouseAt(const forms::Form& form, int leftTwips, int topTwips, bool down) override
    {
        const forms::PixelPoint origin = clientOrigin(form);
        probe_mouse(origin.x + forms::twipsToPixels(leftTwips), origin.y + forms::twipsToPixels(topTwips),
                    down ? 1 : 0);
    }
    void typeText(const forms::Form& form, std::u32string_view text) override
    {
        activate(form, "");
        for (const char32_t character : text)
            probe_key(forms::utf8Of({&character, 1}).c_str(), "", 0, 0);
    }
    void closeFrame(const forms::Form& form) override { probe_closeFrame(m_runtime.elementOf(form)); }
    forms::PixelRect outerRect(const forms::Form& form) override
    {
        std::array<int, 4> rect{};
        probe_outerRect(m_runtime.elementOf(form), rect.data());
        return rectOf(rect);
    }
    forms::PixelRect screenRect() override
    {
        std::array<int, 4> rect{};
        probe_screen(rect.data());
        return rectOf(rect);
    }
    forms::PixelPoint clientOrigin(const forms::Form& form) override
    {
        std::array<int, 4> rect{};
        probe_clientOrigin(m_runtime.elementOf(form), rect.data());
        return {rect[0], rect[1]};
    }
    bool hasTitleBar(const forms::Form& form) override
    {
        return probe_hasTitleBar(m_runtime.elementOf(form)) != 0;
    }
    // The page has no taskbar; the main window is the one the browser's tab stands for.
    bool hasTaskbarEntry(const forms::Form& form) override
    {
        return probe_isMain(m_runtime.elementOf(form)) != 0;
    }
    void typeLetter(const forms::Form& form, char32_t letter, bool alt, std::string_view focus) override
    {
        activate(form, focus);
        const std::string typed = forms::utf8Of({&letter, 1});
        std::string code;
        if (letter >= U'a' && letter <= U'z')
            code = std::string("Key") + static_cast<char>(letter - U'a' + 'A');
        probe_key(typed.c_str(), code.c_str(), 0, alt ? 1 : 0);
    }
    void tab(const forms::Form& form) override
    {
        activate(form, "");
        probe_key("Tab", "Tab", 0, 0);
    }
    void backTab(const forms::Form& form) override
    {
        activate(form, "");
        probe_key("Tab", "Tab", 1, 0);
    }
    std::string focused(const forms::Form& form) override
    {
        const int element = probe_focused(m_runtime.elementOf(form));
        for (const forms::ControlDescription& control : form.description().controls)
            if (m_runtime.elementOf(form, control.name, control.index) == element && element != 0)
                return std::string(control.name);
        return "";
    }
    bool active(const forms::Form& form) override { return probe_active(m_runtime.elementOf(form)) != 0; }
    bool takesInput(const forms::Form& form) override
    {
        return probe_takesInput(m_runtime.elementOf(form)) != 0;
    }
    void duringNextMessageBox(std::function<void()> during) override
    {
        s_during = std::move(during);
        probe_duringNextBox();
    }
    std::function<bool()> watchNativeWindow(const forms::Form& form) override
    {
        const int window = m_runtime.elementOf(form);
        return [window] { return probe_exists(window) != 0; };
    }
    std::string accessibleName(const forms::Form& form, std::string_view control) override
    {
        return taken(probe_accessibleName(m_runtime.elementOf(form),
                                          control.empty() ? 0 : m_runtime.elementOf(form, control)));
    }
    void listenForAnnouncements() override { probe_listen(); }
    std::vector<std::string> heardAnnouncements() override
    {
        const std::string heard = taken(probe_heard());
        std::vector<std::string> messages;
        std::size_t start = 0;
        while (start < heard.size()) {
            const std::size_t end = heard.find('\n', start);
            messages.push_back(
                heard.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        return messages;
    }
    std::string userNumber() override { return taken(probe_userNumber()); }
    TextMeasure measureText(const forms::Form& form, std::string_view name) override
    {
        std::array<int, 5> measure{};
        probe_measure(m_runtime.elementOf(form, name), measure.data());
        return {.width = measure[0],
                .lines = measure[1],
                .lineHeight = measure[2],
                .roomWidth = measure[3],
                .roomHeight = measure[4]};
    }

private:
    // The window made active as the user makes it, and the focus put where asked.
    void activate(const forms::Form& form, std::string_view focus)
    {
        probe_activate(m_runtime.elementOf(form));
        if (!focus.empty())
            probe_focus(m_runtime.elementOf(form, focus));
    }

    forms::WebRuntime m_runtime;
};

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void probe_boxOpen()
{
    if (std::function<void()> during = std::exchange(s_during, nullptr))
        during();
}

std::unique_ptr<BackendProbe> makeBackendProbe()
{
    return std::make_unique<WebProbe>();
}

extern "C" {
void probe_done(int exitCode);
}

int main(int argc, char* argv[])
{
    testing::InitGoogleTest(&argc, argv);
    std::printf("the windows are laid out at %d dpi (CSS pixels)\n", makeBackendProbe()->dpi());
    const int result = RUN_ALL_TESTS();
    probe_done(result);
    return result;
}
