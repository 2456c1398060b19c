// SPDX-License-Identifier: MIT
// Lists the controls of Gradolux's windows where their descriptions place
// them, for the tests that compare a running program's windows with that:
//   list_controls WINDOW     (frmSplash, Form1 or frmAbout)
// prints one line a control:
//   KIND|LEFT|TOP|WIDTH|HEIGHT|KEEPS|TEXT
// Rectangles in twips within the window's client area (a control inside a
// frame is moved by the frame's place). KEEPS is "size" for a control of
// fixed size, "left" or "right" for one whose size follows its text or
// picture and which keeps that edge.
//   list_controls WINDOW CONTROL
// prints "X Y", the point in twips where a test clicks the control: its
// middle, or for a frame the point of its own surface farthest from its
// edge and from every other control, where a click is the frame's.

#include "window_descriptions.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

using forms::ControlKind;

const char* kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
        return "label";
    case ControlKind::Frame:
        return "frame";
    case ControlKind::OptionButton:
        return "option";
    case ControlKind::TextBox:
        return "textbox";
    case ControlKind::CommandButton:
        return "button";
    case ControlKind::Image:
        return "image";
    case ControlKind::PictureBox:
        return "picturebox";
    case ControlKind::Line:
        return "line";
    }
    return "?";
}

const char* kept(const forms::ControlDescription& control)
{
    if (control.kind == ControlKind::PictureBox || (control.kind == ControlKind::Label && control.autoSize))
        return control.alignment == forms::Alignment::Right ? "right" : "left";
    return "size";
}

forms::TwipsRect placed(const forms::WindowDescription& window, const forms::ControlDescription& control)
{
    forms::TwipsRect rect = control.rect;
    if (const forms::ControlDescription* frame = window.find(control.container)) {
        rect.left += frame->rect.left;
        rect.top += frame->rect.top;
    }
    return rect;
}

void list(const forms::WindowDescription& window)
{
    for (const forms::ControlDescription& control : window.controls) {
        const forms::TwipsRect rect = placed(window, control);
        std::printf("%s|%d|%d|%d|%d|%s|%.*s\n", kindName(control.kind), rect.left, rect.top, rect.width,
                    rect.height, kept(control), static_cast<int>(control.text.size()), control.text.data());
    }
}

// How far a point lies outside a rectangle (0 inside it), in twips, along
// the nearer axis only: enough to keep a click off its neighbours.
int clearance(int x, int y, const forms::TwipsRect& rect)
{
    const int dx = std::max({rect.left - x, x - (rect.left + rect.width), 0});
    const int dy = std::max({rect.top - y, y - (rect.top + rect.height), 0});
    return std::max(dx, dy);
}

// Where a control may lie once shown: one whose size follows its text may
// grow from the edge it keeps as far as the frame's far edge.
forms::TwipsRect reach(const forms::WindowDescription& window, const forms::ControlDescription& control,
                       const forms::TwipsRect& frame)
{
    forms::TwipsRect rect = placed(window, control);
    const std::string_view keeps = kept(control);
    if (keeps == "left") {
        rect.width = std::max(rect.width, frame.left + frame.width - rect.left);
    } else if (keeps == "right") {
        rect.width += rect.left - frame.left;
        rect.left = frame.left;
    }
    return rect;
}

// The point of a frame's surface farthest from its edge and from the other
// controls, on a grid of one pixel at 96 dpi.
void printFrameSurface(const forms::WindowDescription& window, const forms::ControlDescription& frame)
{
    const forms::TwipsRect outer = placed(window, frame);
    int bestX = 0;
    int bestY = 0;
    int best = -1;
    for (int y = outer.top; y <= outer.top + outer.height; y += 15) {
        for (int x = outer.left; x <= outer.left + outer.width; x += 15) {
            int room = std::min(
                {x - outer.left, outer.left + outer.width - x, y - outer.top, outer.top + outer.height - y});
            for (const forms::ControlDescription& other : window.controls)
                if (&other != &frame)
                    room = std::min(room, clearance(x, y, reach(window, other, outer)));
            if (room > best) {
                best = room;
                bestX = x;
                bestY = y;
            }
        }
    }
    std::printf("%d %d\n", bestX, bestY);
}

int printClickPoint(const forms::WindowDescription& window, std::string_view name)
{
    const forms::ControlDescription* control = window.find(name);
    if (!control) {
        std::fprintf(stderr, "list_controls: %.*s has no control %.*s\n",
                     static_cast<int>(window.name.size()), window.name.data(), static_cast<int>(name.size()),
                     name.data());
        return 1;
    }
    if (control->kind == ControlKind::Frame) {
        printFrameSurface(window, *control);
        return 0;
    }
    const forms::TwipsRect rect = placed(window, *control);
    std::printf("%d %d\n", rect.left + rect.width / 2, rect.top + rect.height / 2);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string_view name = argc >= 2 ? argv[1] : "";
    for (const forms::WindowDescription* window :
         {&resources::splashDescription(), &resources::form1Description(), &resources::aboutDescription()}) {
        if (window->name != name || argc > 3)
            continue;
        if (argc == 3)
            return printClickPoint(*window, argv[2]);
        list(*window);
        return 0;
    }
    std::fprintf(stderr, "usage: list_controls frmSplash|Form1|frmAbout [CONTROL]\n");
    return 2;
}
