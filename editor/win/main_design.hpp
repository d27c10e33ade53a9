// Main as it was designed: its window and its controls, in creation order, in twips.
#pragma once

#include "editor/win/window.hpp"

namespace editor {

extern const WindowDesign kMainDesign;

}  // namespace editor
