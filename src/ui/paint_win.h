// Painting the window model with GDI, the way a toolkit paints its non-windowed controls.
#pragma once

#include <windows.h>

#include "ui/controls.h"

namespace zelk {

// Paints every visible label and shape in stacking order onto `dc` (client coordinates).
// `paintBox` is called for each visible paint box, which the window paints itself.
void PaintControls(HDC dc, const ControlSet& controls, int width, int height,
                   const std::function<void(HDC, const Control&)>& paintBox);

// The same over what `dc` already shows, for a window whose background is erased for it.
void PaintControlsOver(HDC dc, const ControlSet& controls,
                       const std::function<void(HDC, const Control&)>& paintBox);

// The size a self-sizing label takes for its caption.
TextSize MeasureLabel(HDC dc, const Control& label);

// Renders the window model into a 24-bit bitmap and returns its pixels, top row first.
std::vector<uint8_t> RenderToRgb(const ControlSet& controls, int width, int height,
                                 const std::function<void(HDC, const Control&)>& paintBox);

}  // namespace zelk
