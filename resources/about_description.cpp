// SPDX-License-Identifier: MIT
#include "system_colours.h"
#include "window_descriptions.h"

namespace resources {
namespace {

using forms::Alignment;
using forms::ControlKind;

constexpr forms::FontSpec kDialogFont{.face = "MS Sans Serif", .points = 8.25};
constexpr forms::StoredColour kBlack = 0x00000000;

forms::WindowDescription makeAbout()
{
    return {
        .name = "frmAbout",
        .caption = "Programminfo",
        .clientWidth = 5730,
        .clientHeight = 3555,
        .border = forms::WindowBorder::FixedDialog,
        .controlBox = true,
        .minButton = false,
        .maxButton = false,
        .startPosition = forms::StartPosition::Manual,
        .left = 2340,
        .top = 1935,
        .showInTaskbar = false,
        .font = kDialogFont,
        .icon = kApplicationIcon,
        // In stacking order, first to last.
        .controls =
            {
                {.name = "picIcon",
                 .kind = ControlKind::PictureBox,
                 .rect = {240, 240, 540, 540},
                 .autoSize = true,
                 .tabIndex = 1,
                 .sunken = true,
                 .picture = kApplicationIcon,
                 .accessibleName = "Programmsymbol"},
                {.name = "cmdOK",
                 .kind = ControlKind::CommandButton,
                 .text = "OK",
                 .rect = {4245, 2625, 1260, 345},
                 .tabIndex = 0,
                 .isDefault = true,
                 .isCancel = true},
                {.name = "cmdSysInfo",
                 .kind = ControlKind::CommandButton,
                 .text = "&Systeminfo...",
                 .rect = {4260, 3075, 1245, 345},
                 .tabIndex = 2},
                // The etched separator: a grey line with a white one just below.
                {.name = "Line1",
                 .kind = ControlKind::Line,
                 .rect = {90, 2445, 5654 - 90, 15},
                 .backColour = 0x00808080,
                 .index = 1},
                {.name = "lblDescription",
                 .text =
                     "Dieses Programm dient zur Gradolux gemäß der 3-F (CEL) Methode und kann in allen Bereichen des "
                     "ArbeitnehmerInnenschutzes angewendet werden.",
                 .rect = {1080, 1125, 3885, 1170},
                 .foreColour = kBlack,
                 .tabIndex = 3},
                {.name = "lblTitle",
                 .text = "Name der Anwendung",
                 .rect = {1050, 240, 3885, 480},
                 .font = forms::FontSpec{.face = "MS Sans Serif", .points = 13.5},
                 .foreColour = kBlack,
                 .tabIndex = 5},
                {.name = "Line1",
                 .kind = ControlKind::Line,
                 .rect = {105, 2460, 5654 - 105, 30},
                 .backColour = 0x00FFFFFF,
                 .index = 0},
                {.name = "lblVersion", .text = "Version", .rect = {1080, 780, 3885, 225}, .tabIndex = 6},
                {.name = "lblDisclaimer",
                 .text =
                     "ACHTUNG! Bei dieser Version handelt es sich um eine BETA-Version. Fehler melden Sie bitte an: "
                     "fehler@gradolux.example",
                 .rect = {240, 2640, 3870, 825},
                 .alignment = Alignment::Centre,
                 .foreColour = kBlack,
                 .tabIndex = 4},
            },
    };
}

} // namespace

const forms::WindowDescription& aboutDescription()
{
    static const forms::WindowDescription description = makeAbout();
    return description;
}

} // namespace resources
