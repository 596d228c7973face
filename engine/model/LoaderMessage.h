// The message box by which a model loader reports a failed read: a plain box with the
// loader's text and no caption. The default message service records it and answers at
// once, so it never blocks a hidden browser's thread. Leaves a line on the "model"
// trace channel too.
#pragma once

void ShowLoaderMessage(const char* text);
