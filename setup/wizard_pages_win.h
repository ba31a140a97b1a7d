// The wizard's four pages, drawn on its window with GDI (the icon font is a private GDI font).
#pragma once

#include <windows.h>

#include "setup/wizard_win.h"

// Makes the resource FONT_ICONFONT (face "ICONFONT") available to this process's drawing.
void LoadIconFont();

// Paints the current page, Label1 and Frame1 as the state says, double-buffered.
void PaintWizard(HWND window, const WizardState& wizard);
