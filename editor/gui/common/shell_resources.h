// The editor's artwork (icons, splash picture) is compiled into the static editor_gui library; a program
// or test linking it must register the resources once before the first ":/..." path is used.
#pragma once

namespace vyr::gui {

// Safe to call any number of times; the windows of this library call it themselves.
void InitShellResources();

}  // namespace vyr::gui
