// The help window's text.
#pragma once

#include <QString>

namespace telmor {

// In Japanese: the flow of a session, the menu letters, the mouse and keys of
// a correction pass, the drive folders and where results files go.
QString help_html();

}  // namespace telmor
