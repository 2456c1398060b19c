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

#include "window_descriptions.h"

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

void list(const forms::WindowDescription& window)
{
    for (const forms::ControlDescription& control : window.controls) {
        forms::TwipsRect rect = control.rect;
        if (const forms::ControlDescription* frame = window.find(control.container)) {
            rect.left += frame->rect.left;
            rect.top += frame->rect.top;
        }
        std::printf("%s|%d|%d|%d|%d|%s|%.*s\n", kindName(control.kind), rect.left, rect.top, rect.width,
                    rect.height, kept(control), static_cast<int>(control.text.size()), control.text.data());
    }
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string_view name = argc == 2 ? argv[1] : "";
    for (const forms::WindowDescription* window :
         {&resources::splashDescription(), &resources::form1Description(), &resources::aboutDescription()}) {
        if (window->name == name) {
            list(*window);
            return 0;
        }
    }
    std::fprintf(stderr, "usage: list_controls frmSplash|Form1|frmAbout\n");
    return 2;
}
