// SPDX-License-Identifier: MIT
// Times one run of a program in an X server, the way a user meets it:
// from exec to its first window being mapped and being painted; from a key
// press to the second window being painted with its controls; after three
// options are chosen (A = 3, H = 1, W = 6), from a click on the calculate
// button to the red verdict being painted; and the peak resident memory.
// Events are real (XTEST), and "painted" means the pixels are on the screen.
// Where the calculator's controls are comes from its window description.
//   bench_driver PROGRAM [ARGUMENT...]    prints: mapped painted key click (ms) peak (KiB)
// PROGRAM is looked up in PATH ("wine Gradolux.exe" times a Windows program
// from the exec of its loader; the loader becomes the program's process).
//
//   bench_driver --count DIR PROGRAM [ARGUMENT...]    prints: key click (instructions)
// counts instead of timing: the program runs under callgrind with its
// instrumentation off until it has painted its first window and waits for
// the user; then the instructions it executes for the key, and for the click,
// each until it waits for input again, are counted (callgrind_control zeroes
// and dumps the counters; the dumps stay in DIR). A count is exact and the
// same on a busy machine as on a quiet one.

#include "units.h"
#include "window_descriptions.h"

#include <fcntl.h>
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
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
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

// A control of the calculator in its client area, in pixels at 96 dpi.
Rect controlRect(std::string_view name)
{
    const forms::WindowDescription& form1 = resources::form1Description();
    const forms::ControlDescription* control = form1.find(name);
    forms::TwipsRect rect = control->rect;
    if (const forms::ControlDescription* container = form1.find(control->container)) {
        rect.left += container->rect.left;
        rect.top += container->rect.top;
    }
    return {forms::twipsToPixels(rect.left), forms::twipsToPixels(rect.top), forms::twipsToPixels(rect.width),
            forms::twipsToPixels(rect.height)};
}

// The CPU time a process has used so far, in clock ticks.
long cpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number)
        if (number >= 14)
            ticks += std::strtol(field.c_str(), nullptr, 10);
    return ticks;
}

// Waits until the process has used no CPU time for half a second: it has
// done everything the last input asked of it and waits for the next.
bool waitUntilIdle(pid_t pid, double timeoutMs)
{
    const Clock::time_point start = Clock::now();
    long last = cpuTicks(pid);
    int quiet = 0;
    while (since(start) < timeoutMs) {
        usleep(100'000);
        const long now = cpuTicks(pid);
        quiet = now == last ? quiet + 1 : 0;
        last = now;
        if (quiet >= 5)
            return true;
    }
    return false;
}

// Sends callgrind_control's command (-i on, -z, -d) to a process under callgrind.
bool callgrind(pid_t pid, std::initializer_list<const char*> options)
{
    const std::string target = std::to_string(pid);
    std::vector<char*> argv{const_cast<char*>("callgrind_control")};
    for (const char* option : options)
        argv.push_back(const_cast<char*>(option));
    argv.push_back(const_cast<char*>(target.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t control = 0;
    const bool started = posix_spawnp(&control, argv[0], &quiet, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    int status = 0;
    return started && waitpid(control, &status, 0) == control && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The instruction total of a callgrind dump.
long long dumpedInstructions(const std::string& file)
{
    std::ifstream dump(file);
    std::string line;
    while (std::getline(dump, line))
        if (line.rfind("summary:", 0) == 0 || line.rfind("totals:", 0) == 0)
            return std::strtoll(line.c_str() + line.find(':') + 1, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    // bench_driver [--count DIR] PROGRAM [ARGUMENT...]
    std::string countDir;
    int first = 1;
    if (argc > 3 && std::strcmp(argv[1], "--count") == 0) {
        countDir = argv[2];
        first = 3;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: bench_driver [--count DIR] PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const bool counting = !countDir.empty();
    // Under callgrind everything takes far longer; the deadlines grow with it.
    const double deadline = counting ? 300'000 : 10'000;
    std::vector<std::string> command;
    if (counting)
        command = {"valgrind", "--tool=callgrind", "--instr-atstart=no", "--dump-instr=no",
                   "--callgrind-out-file=" + countDir + "/callgrind.out.%p"};
    for (int i = first; i < argc; ++i)
        command.emplace_back(argv[i]);
    std::vector<char*> commandArgv;
    for (std::string& word : command)
        commandArgv.push_back(word.data());
    commandArgv.push_back(nullptr);

    Display display;
    const Clock::time_point exec = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, commandArgv[0], nullptr, nullptr, commandArgv.data(), environ) != 0) {
        std::perror("bench_driver: cannot start the program");
        return 2;
    }
    const auto finish = [pid](int code) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return code;
    };

    if (!display.waitForMap(deadline, exec))
        return finish(1);
    const double mapped = since(exec);
    std::optional<Rect> splash;
    waitUntil(
        exec, [&] { return (splash = display.clientOf(pid)).has_value(); }, deadline);
    if (!splash)
        return finish(1);
    // The first window is painted when most of its centre shows.
    const Rect splashCentre{splash->x + splash->width / 2 - 32, splash->y + splash->height / 2 - 32, 64, 64};
    const double firstPainted = waitUntil(
        exec, [&] { return display.count(splashCentre, painted) > 64 * 64 / 2; }, deadline);

    // Counting starts once the program waits for the user, and each count
    // ends when it waits again.
    const auto startCount = [&](std::initializer_list<const char*> options) {
        return !counting || (waitUntilIdle(pid, deadline) && callgrind(pid, options));
    };
    long long counted[2] = {0, 0};
    int dumps = 0;
    const auto endCount = [&](long long& instructions) {
        if (!counting)
            return true;
        if (!waitUntilIdle(pid, deadline) || !callgrind(pid, {"-d"}))
            return false;
        instructions = dumpedInstructions(countDir + "/callgrind.out." + std::to_string(pid) + "." +
                                          std::to_string(++dumps));
        return instructions >= 0;
    };

    // A key: the second window, centred and larger, is painted when its
    // top-left corner shows and so do its controls down to the last one, the
    // exit button at the bottom right (dark pixels of its caption and edge):
    // a toolkit may show the window's background well before its controls.
    usleep(300'000);
    if (!startCount({"-i", "on"}) || !startCount({"-z"}))
        return finish(1);
    const Clock::time_point keyTime = Clock::now();
    display.key(65); // the space bar
    std::optional<Rect> calculator;
    const Rect lastControl = controlRect("Command2");
    const double keyPainted = waitUntil(
        keyTime,
        [&] {
            calculator = display.clientOf(pid);
            return calculator && calculator->width > splash->width &&
                   display.count(Rect{calculator->x + 4, calculator->y + 4, 24, 24}, painted) > 24 * 24 / 2 &&
                   display.count(Rect{calculator->x + lastControl.x, calculator->y + lastControl.y,
                                      lastControl.width, lastControl.height},
                                 dark) > 20;
        },
        deadline);
    if (keyPainted < 0 || !endCount(counted[0]))
        return finish(1);

    const auto click = [&](std::string_view control, bool last) {
        const Rect rect = controlRect(control);
        // Option buttons near their mark, command buttons in their middle.
        const int x = control.starts_with("Option") ? rect.x + 8 : rect.x + rect.width / 2;
        display.move(calculator->x + x, calculator->y + rect.y + rect.height / 2);
        display.sync();
        usleep(50'000);
        display.press(true);
        display.sync();
        if (!last) {
            display.press(false);
            display.sync();
            usleep(50'000);
        }
    };
    // The typical use: A = 3, H = 1 and W = 6 chosen, then "Berechnen".
    usleep(300'000);
    for (const char* option : {"Option2", "Option8", "Option17"})
        click(option, false);
    usleep(300'000);
    click("Command1", true);
    if (!startCount({"-z"}))
        return finish(1);
    // The click happens when the button comes up; the verdict is painted when red shows in its label.
    const Clock::time_point clickTime = Clock::now();
    display.press(false);
    const Rect verdictRect = controlRect("Label2");
    const Rect verdict{calculator->x + verdictRect.x, calculator->y + verdictRect.y, verdictRect.width,
                       verdictRect.height};
    const double clickPainted = waitUntil(
        clickTime, [&] { return display.count(verdict, red) > 20; }, deadline);
    if (clickPainted < 0 || !endCount(counted[1]))
        return finish(1);

    if (counting) {
        std::printf("%lld %lld\n", counted[0], counted[1]);
        return finish(0);
    }
    usleep(200'000);
    const long peak = peakKiB(pid);
    std::printf("%.2f %.2f %.2f %.2f %ld\n", mapped, firstPainted, keyPainted, clickPainted, peak);
    return finish(0);
}
