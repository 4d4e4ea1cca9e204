// The names of the 27 skin pieces: built-in resource order, and the file names under "Skin/".
#include "skin/skin.h"

const char* const NameBMP[kSkinPieces] = {
    "l",          "r",          "t",          "b",          "tl",         "tr",         "br",
    "bl_off",     "br_b1_up",   "br_b2_up",   "bl_on",      "br_b1_over", "br_b2_over", "br_b1_down",
    "br_b2_down", "tr_s",       "tr_m",       "tr_c",       "pozadi",     "bl_over",    "bl_down",
    "br_b3_over", "br_b4_over", "br_b3_down", "br_b4_down", "br_b3_up",   "br_b4_up"};
