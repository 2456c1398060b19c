// SPDX-License-Identifier: MIT
// Times one run of a program in an X server, the way a user meets it:
// from exec to its first window being mapped and being painted; from a key
// press to the second window being painted with its controls; from a click on the calculate
// button to the red verdict being painted; and the peak resident memory.
// Events are real (XTEST), and "painted" means the pixels are on the screen.
//   bench_driver PROGRAM [ARGUMENT...]    prints: mapped painted key click (ms) peak (KiB)
// PROGRAM is looked up in PATH ("wine Gradolux.exe" times a Windows program
// from the exec of its loader; the loader becomes the program's process).

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Rect
{
    int x, y, width, height;
};

class Display
{
public:
    Display() : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(m_connection)) {
            std::fprintf(stderr, "bench_driver: no X display\n");
            std::exit(2);
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        m_clientList = atom("_NET_CLIENT_LIST");
        m_pid = atom("_NET_WM_PID");
        xcb_flush(m_connection);
    }
    ~Display() { xcb_disconnect(m_connection); }

    // Waits for the next top-level window to be mapped.
    bool waitForMap(double timeoutMs, Clock::time_point start)
    {
        while (since(start) < timeoutMs) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(m_connection),
                                                                             &std::free);
            if (!event) {
                usleep(200);
                continue;
            }
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY)
                return true;
        }
        return false;
    }

    // The client area of the newest managed window of a process, in root coordinates.
    std::optional<Rect> clientOf(pid_t pid)
    {
        auto* list = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, m_clientList, XCB_ATOM_WINDOW, 0, 1024),
            nullptr);
        std::optional<Rect> found;
        if (!list)
            return found;
        const auto* windows = static_cast<xcb_window_t*>(xcb_get_property_value(list));
        const int count = xcb_get_property_value_length(list) / 4;
        for (int i = count - 1; i >= 0 && !found; --i) {
            auto* owner = xcb_get_property_reply(
                m_connection, xcb_get_property(m_connection, 0, windows[i], m_pid, XCB_ATOM_CARDINAL, 0, 1),
                nullptr);
            if (owner && xcb_get_property_value_length(owner) == 4 &&
                *static_cast<uint32_t*>(xcb_get_property_value(owner)) == uint32_t(pid)) {
                auto* geometry =
                    xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, windows[i]), nullptr);
                auto* origin = xcb_translate_coordinates_reply(
                    m_connection, xcb_translate_coordinates(m_connection, windows[i], m_root, 0, 0), nullptr);
                if (geometry && origin)
                    found = Rect{origin->dst_x, origin->dst_y, geometry->width, geometry->height};
                std::free(geometry);
                std::free(origin);
            }
            std::free(owner);
        }
        std::free(list);
        return found;
    }

    // Counts the pixels of a screen rectangle that pass a test.
    template <class Test> int count(const Rect& r, Test test)
    {
        auto* image =
            xcb_get_image_reply(m_connection,
                                xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, int16_t(r.x),
                                              int16_t(r.y), uint16_t(r.width), uint16_t(r.height), ~0u),
                                nullptr);
        if (!image)
            return 0;
        const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
        const int n = xcb_get_image_data_length(image) / 4;
        int hits = 0;
        for (int i = 0; i < n; ++i)
            hits += test((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF);
        std::free(image);
        return hits;
    }

    void key(uint8_t keycode)
    {
        xcb_test_fake_input(m_connection, XCB_KEY_PRESS, keycode, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_test_fake_input(m_connection, XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_flush(m_connection);
    }
    void move(int x, int y)
    {
        xcb_test_fake_input(m_connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root, int16_t(x),
                            int16_t(y), 0);
        xcb_flush(m_connection);
    }
    void press(bool down)
    {
        xcb_test_fake_input(m_connection, down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME,
                            m_root, 0, 0, 0);
        xcb_flush(m_connection);
    }
    void sync()
    {
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

private:
    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_atom_t m_clientList;
    xcb_atom_t m_pid;
};

// Waits until a test on the screen passes; the time it took, or -1.
template <class Test> double waitUntil(Clock::time_point start, Test test, double timeoutMs = 10000)
{
    while (since(start) < timeoutMs) {
        if (test())
            return since(start);
        usleep(250);
    }
    return -1;
}

long peakKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

bool painted(int r, int g, int b)
{
    return r + g + b > 0;
}

bool dark(int r, int g, int b)
{
    return r + g + b < 150;
}

bool red(int r, int g, int b)
{
    return r > 200 && g < 80 && b < 80;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_driver PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    Display display;

    const Clock::time_point exec = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        std::perror("bench_driver: cannot start the program");
        return 2;
    }
    const auto finish = [pid](int code) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return code;
    };

    if (!display.waitForMap(10000, exec))
        return finish(1);
    const double mapped = since(exec);
    std::optional<Rect> first;
    waitUntil(exec, [&] { return (first = display.clientOf(pid)).has_value(); });
    if (!first)
        return finish(1);
    // The first window is painted when most of its centre shows.
    const Rect firstCentre{first->x + first->width / 2 - 32, first->y + first->height / 2 - 32, 64, 64};
    const double firstPainted =
        waitUntil(exec, [&] { return display.count(firstCentre, painted) > 64 * 64 / 2; });

    // A key: the second window, centred and larger, is painted when its
    // top-left corner shows and so do its controls down to the last one, the
    // exit button at the bottom right (dark pixels of its caption and edge):
    // a toolkit may show the window's background well before its controls.
    usleep(300'000);
    const Clock::time_point keyTime = Clock::now();
    display.key(65); // the space bar
    std::optional<Rect> second;
    const double keyPainted = waitUntil(keyTime, [&] {
        second = display.clientOf(pid);
        return second && second->width > first->width &&
               display.count(Rect{second->x + 4, second->y + 4, 24, 24}, painted) > 24 * 24 / 2 &&
               display.count(Rect{second->x + 400, second->y + 552, 257, 25}, dark) > 20;
    });
    if (keyPainted < 0)
        return finish(1);

    // A click on the calculate button: the verdict is painted when red shows in its label.
    usleep(300'000);
    display.move(second->x + 528, second->y + 532);
    display.sync();
    usleep(50'000);
    display.press(true);
    display.sync();
    const Clock::time_point clickTime = Clock::now();
    display.press(false);
    const Rect verdict{second->x + 16, second->y + 448, 641, 57};
    const double clickPainted = waitUntil(clickTime, [&] { return display.count(verdict, red) > 20; });

    usleep(200'000);
    const long peak = peakKiB(pid);
    std::printf("%.2f %.2f %.2f %.2f %ld\n", mapped, firstPainted, keyPainted, clickPainted, peak);
    return finish(clickPainted < 0 ? 1 : 0);
}
