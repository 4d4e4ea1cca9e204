// The dialog controls that show pictures: a list of rows with thumbnails, and one picture shown large.
#pragma once

#include <functional>

#include "platform/core/types.h"

class QWidget;

// A list whose rows carry a thumbnail beside their text; onChosen runs when the user selects a row.
QWidget* MakePictureList(QWidget* parent, bool border, std::function<void()> onChosen);
// A picture scaled into the control's rectangle, its proportions kept.
QWidget* MakePicture(QWidget* parent, bool border);
// The LVM_* messages for a list and STM_SETIMAGE for a picture (platform/gui/dialog.h); 0 for others.
LRESULT PictureListMessage(QWidget* list, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT PictureMessage(QWidget* picture, UINT message, WPARAM wParam, LPARAM lParam);
