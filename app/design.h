#pragma once

class QMainWindow;

namespace Design {

// Paints the window's dark vertical gradient (black, grey at 70 %, black) over its whole
// area and gives it a black window palette. Does nothing for a null window.
void ApplyFixedSizeGradientForBackground(QMainWindow* window);

} // namespace Design
