// SPDX-License-Identifier: MIT
#include "risk_scales.h"
#include "system_colours.h"
#include "window_descriptions.h"

namespace resources {
namespace {

using forms::Alignment;
using forms::ControlDescription;
using forms::ControlKind;
using forms::FontSpec;

constexpr FontSpec kArial825Bold{.face = "Arial", .points = 8.25, .weight = 700};
constexpr FontSpec kArial975Bold{.face = "Arial", .points = 9.75, .weight = 700};
constexpr FontSpec kSansSerif825{.face = "MS Sans Serif", .points = 8.25};
constexpr forms::StoredColour kPureRed = 0x000000FF;

std::string_view frameCaption(risk::Scale scale)
{
    return risk::riskScale(scale).caption();
}

ControlDescription option(risk::Scale scale, int position, std::string_view frame, forms::TwipsRect rect,
                          int tabIndex)
{
    const risk::RiskOption& option = risk::riskScale(scale).option(position);
    return {.name = option.controlName,
            .kind = ControlKind::OptionButton,
            .container = frame,
            .text = option.caption,
            .rect = rect,
            .tabIndex = tabIndex};
}

forms::WindowDescription makeForm1()
{
    using risk::Scale;
    return {
        .name = "Form1",
        .caption = "Bewerten und Beurteilen von Risiken nach der CEL-Methode",
        .clientWidth = 10065,
        .clientHeight = 8685,
        .border = forms::WindowBorder::Sizable,
        .startPosition = forms::StartPosition::CentreScreen,
        .font = {.face = "Arial", .points = 8.25},
        .backColour = forms::systemColour(forms::sys::ScrollBar),
        .icon = kApplicationIcon,
        .controls =
            {
                {.name = "Label4",
                 .text = "Bewerten und Beurteilen von Risiken nach der CEL-Methode",
                 .rect = {0, 120, 10095, 375},
                 .font = FontSpec{.face = "Arial", .points = 14.25},
                 .alignment = Alignment::Centre,
                 .tabIndex = 27},
                {.name = "Frame1",
                 .kind = ControlKind::Frame,
                 .text = frameCaption(Scale::A),
                 .rect = {240, 600, 9615, 2655},
                 .font = kArial825Bold,
                 .tabIndex = 0},
                option(Scale::A, 1, "Frame1", {120, 360, 5895, 255}, 7),
                option(Scale::A, 2, "Frame1", {120, 600, 8535, 495}, 6),
                option(Scale::A, 3, "Frame1", {120, 1080, 8175, 255}, 5),
                option(Scale::A, 4, "Frame1", {120, 1440, 8775, 255}, 8),
                option(Scale::A, 5, "Frame1", {120, 1800, 8655, 255}, 9),
                option(Scale::A, 6, "Frame1", {120, 2160, 7335, 255}, 10),
                {.name = "Frame2",
                 .kind = ControlKind::Frame,
                 .text = frameCaption(Scale::H),
                 .rect = {240, 3360, 4215, 2535},
                 .font = kArial825Bold,
                 .tabIndex = 11},
                option(Scale::H, 1, "Frame2", {120, 360, 3975, 255}, 12),
                option(Scale::H, 2, "Frame2", {120, 720, 3255, 255}, 13),
                option(Scale::H, 3, "Frame2", {120, 1080, 3375, 255}, 14),
                option(Scale::H, 4, "Frame2", {120, 1440, 3135, 255}, 15),
                option(Scale::H, 5, "Frame2", {120, 1800, 3015, 255}, 16),
                option(Scale::H, 6, "Frame2", {120, 2160, 3975, 255}, 17),
                {.name = "Frame3",
                 .kind = ControlKind::Frame,
                 .text = frameCaption(Scale::W),
                 .rect = {4560, 3360, 5295, 2535},
                 .font = kArial825Bold,
                 .tabIndex = 18},
                option(Scale::W, 1, "Frame3", {120, 360, 3615, 375}, 19),
                option(Scale::W, 2, "Frame3", {120, 696, 3615, 375}, 20),
                option(Scale::W, 3, "Frame3", {120, 1032, 4935, 375}, 21),
                option(Scale::W, 4, "Frame3", {120, 1368, 3615, 375}, 22),
                option(Scale::W, 5, "Frame3", {120, 1704, 3615, 375}, 23),
                option(Scale::W, 6, "Frame3", {120, 2040, 3615, 375}, 24),
                {.name = "Label5",
                 .text = "R = A * H * W",
                 .rect = {240, 6120, 4215, 375},
                 .font = FontSpec{.face = "Arial", .points = 15.75, .weight = 700},
                 .alignment = Alignment::Centre,
                 .tabIndex = 28},
                {.name = "Label1",
                 .text = "Rechnerisches Ergebnis für das Risiko \"R\"",
                 .rect = {4320, 6120, 4215, 255},
                 .font = kArial975Bold,
                 .alignment = Alignment::Right,
                 .tabIndex = 3},
                {.name = "Text1",
                 .kind = ControlKind::TextBox,
                 .rect = {8640, 6000, 1095, 375},
                 .font = kArial975Bold,
                 .alignment = Alignment::Centre,
                 .foreColour = kPureRed,
                 .tabIndex = 4},
                {.name = "Label2",
                 .rect = {240, 6720, 9615, 855},
                 .font = FontSpec{.face = "@Arial Unicode MS", .points = 9.75, .weight = 700},
                 .alignment = Alignment::Centre,
                 .foreColour = kPureRed,
                 .tabIndex = 25},
                {.name = "Label3",
                 .text = "© 2026 Die Gradolux-Entwickler",
                 .rect = {840, 7800, 2655, 255},
                 .alignment = Alignment::Centre,
                 .tabIndex = 26},
                {.name = "Command1",
                 .kind = ControlKind::CommandButton,
                 .text = "B&erechnen",
                 .rect = {6000, 7800, 3855, 375},
                 .font = kSansSerif825,
                 .backColour = forms::systemColour(forms::sys::ScrollBar),
                 .tabIndex = 1},
                {.name = "Command3",
                 .kind = ControlKind::CommandButton,
                 .text = "Programminfo",
                 .rect = {1440, 8160, 1335, 375},
                 .tabIndex = 29},
                {.name = "Command2",
                 .kind = ControlKind::CommandButton,
                 .text = "Programm Be&enden",
                 .rect = {6000, 8280, 3855, 375},
                 .font = kSansSerif825,
                 .tabIndex = 2},
            },
    };
}

} // namespace

const forms::WindowDescription& form1Description()
{
    static const forms::WindowDescription description = makeForm1();
    return description;
}

} // namespace resources
