// sipp scenarios that call the simulated unit.
#pragma once

#include <string>

namespace doorsim_test {

// A sipp call scenario that calls the unit and expects `final` (200, 486, 603...). On 200 the
// answer's Contact must match `contact` (a regular expression), the call lasts `talkMs` and
// sipp ends it; on another final answer sipp acknowledges it and is done.
std::string CallerScenario(int final, const std::string& contact = {}, int talkMs = 0);

}  // namespace doorsim_test
