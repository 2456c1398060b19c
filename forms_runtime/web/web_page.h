// SPDX-License-Identifier: MIT
#pragma once

// The page's side of the web back end (web_page.js): DOM elements made,
// placed, read and changed by number. Windows and controls are numbered by
// the back end; texts go as UTF-8, colours as 0xRRGGBB, rectangles as four ints (left, top, width, height) in
// CSS pixels.

extern "C" {
void gx_start(const char* applicationTitle);
int gx_createWindow(int window, int kind, const char* caption, const char* name, const char* describedBy,
                    int width, int height, int closeBox, int minBox, int maxBox, int dialog, int background,
                    const char* icon);
int gx_createControl(int window, int element, int container, const char* name, int index, int kind,
                     const char* text, int left, int top, int width, int height, int order, int tabStop,
                     int marksAccessKey, int wraps, int alignment, int fontPixels, int weight, int italic,
                     int underline, int strikeOut, int foreground, int background, int sunken,
                     const char* picture, const char* accessibleName, int isDefault);
void gx_labelBy(int element, int label);
void gx_destroyWindow(int window);
void gx_frameMargins(int window, int* margins);
void gx_screen(int* rect);
void gx_placeWindow(int window, int clientLeft, int clientTop);
void gx_showWindow(int window);
void gx_hideWindow(int window);
void gx_activate(int window);
int gx_activeWindow();
void gx_controlRect(int element, int* rect);
void gx_placeControl(int element, int left, int top, int width, int height);
void gx_textSize(int element, int* size);
int gx_checked(int element);
void gx_check(int element);
void gx_setCaption(int element, const char* text);
void gx_setText(int element, const char* text);
void gx_setWindowCaption(int window, const char* text);
int gx_focusedIn(int window);
void gx_focus(int element);
void gx_setTabStop(int element, int on);
void gx_setDefault(int element, int on);
void gx_block(int window, int on);
void gx_messageBox(const char* text, const char* title, int owner);
void gx_announce(int window, const char* text);
void gx_decimalSeparator(char* buffer, int size);
void gx_requestIdle();
void gx_prepareText(int fontPixels, int weight, int italic, const char* text);
void gx_end(int exitCode, const char* line, const char* again);
}
