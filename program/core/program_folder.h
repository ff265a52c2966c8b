#pragma once

#include <string>

// The folder of the running executable, without a trailing "/". The judgement
// library and the help pages lie there.
std::string ProgramFolder();
