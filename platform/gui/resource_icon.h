// Icons made from the module's built-in pictures.
#pragma once

#include <QIcon>

#include "platform/core/resources.h"

// Every size the module holds under the id (empty when it holds none): each user picks the one drawn
// for its size. Made once per module and id, then shared. Window thread only.
QIcon IconFromResource(HINSTANCE module, int id);
