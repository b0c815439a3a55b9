#pragma once
#include <string>

#include "platform/dialogs.h"

namespace slidesaver::linux_platform {

// A GTK message dialog with one OK button; without a display, title and text go to stderr.
void GtkMessageBox(const std::string& text, const std::string& title, platform::MessageIcon icon);
// "title: text" on stderr, in UTF-8.
void MessageToStandardError(const std::string& text, const std::string& title);

}  // namespace slidesaver::linux_platform
