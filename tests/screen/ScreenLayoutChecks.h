// What the screen tests check of a window's look: texts that do not fit their controls,
// the window's icon as the X server holds it, and pictures of GTK's own windows.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Types.h"

typedef struct _GtkWidget GtkWidget;

// Shows the window and waits until GTK has mapped it and laid its controls out (and has
// served the presentation's idle calls).
bool ShowAndWait(HWND window);

// The texts of the window's controls (its children, down the tree) that the screen does
// not show whole: each label in a control's widget (a button's, a check box's, a
// static's, a list view header's, a tab's) whose natural size is more than it is given,
// and each control whose widget outgrew the model's rectangle. One line each, "control
// <id> ...: <what>"; empty when everything fits. Rows of lists are not looked at.
std::vector<std::string> CutTexts(HWND window);

// The icons of the window's X window (_NET_WM_ICON): their sizes, "32x32" and so on, in
// the order a window manager reads them; and the pixel (0xAARRGGBB) at the middle of the
// first. Empty without an X display or before GTK set them.
std::vector<std::string> WindowManagerIconSizes(HWND window, unsigned long* middle = nullptr);

// The box of a list view's header buttons, in the widget that shows the list view.
GtkWidget* ListViewHeader(GtkWidget* listView);

// Saves GTK's rendering of a widget (a window of GTK's own, such as a message box) as a
// PNG file. False when it is not shown.
bool SaveWidgetScreenshot(GtkWidget* widget, const std::string& pngPath);
