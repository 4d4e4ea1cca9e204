// Where the user's skin folder is.
#include "skin/skin.h"
#include "state/user_files.h"

std::string SkinFolder() { return FindUserFile("Skin"); }
