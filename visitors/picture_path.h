// Where a visit's picture lies below the log's folder: by the visit's local date, named by row and slot.
#pragma once

#include <string>

#include "visitors/visit.h"

namespace visitors {

// "visitors/YYYY/MM/DD/<start>-<id>-<slot>.jpg", relative to the log's folder; the date is the start's
// local date, as the person looks for it.
std::string PictureRelativePath(TimeMs startMs, long long id, int slot);
// The folder part of a relative picture path.
std::string PictureFolder(const std::string& relative);

}  // namespace visitors
