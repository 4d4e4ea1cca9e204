// The picture display: one door picture drawn into the video area of the main window.
#pragma once

#include "platform/core/types.h"
#include "state/display_record.h"

// Decodes the JPEG file NameJPEG and draws it stretched to the video area of a ClW x ClH client area.
void ShowJPEG(HWND hwnd, const char* NameJPEG, int ClW, int ClH, t_Skin* Skin);
