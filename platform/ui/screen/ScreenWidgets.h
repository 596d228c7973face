// For the web browser program (platform/host): the GTK widgets that show windows of the
// model, so that it can put its own widgets (address bar, buttons) beside them. Main
// thread only. Types are declared, not included: GTK's headers stay in *.cpp files.
#pragma once

#include "platform/base/Types.h"

typedef struct _GtkWidget GtkWidget;

// The widget that shows hwnd (a GtkWindow for a top-level window); null when none.
GtkWidget* ScreenWidgetOf(HWND hwnd);
// The GtkFixed that holds the widgets of hwnd's children; null when none.
GtkWidget* ScreenContainerOf(HWND hwnd);

// The widget names of a message box on the screen: its GtkWindow, and the label of its
// text.
inline constexpr const char* kMessageBoxName = "morvelle-message-box";
inline constexpr const char* kMessageBoxTextName = "morvelle-message-text";
