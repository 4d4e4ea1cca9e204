// Comparing two dotted addresses group by group by numeric value: "192.168.001.250" equals "192.168.1.250".
#pragma once

// 0 when the first four groups of both texts have the same values, -1 otherwise. A group's value is
// its leading decimal digits (none gives 0), as atoi reads them, so "10.0.0.2:5062" equals "10.0.0.2".
// A text with fewer than four groups never equals anything. Never reads past the end of a text.
int cmp_ip(const char* IP1, const char* IP2);
