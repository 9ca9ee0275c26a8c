// The beat grid's options on a command line, shared by the commands that fit one (sync,
// sheet): "--bpm LO-HI" and "--downbeat MS". Checks and converts them; the fitting is
// BeatGrid's.
#pragma once

#include "tools/qztool/BeatGrid.h"
#include "tools/qztool/CommandOptions.h"

#include <string>

// The two option names, for splitOptions.
inline const char* const BPM_OPTION = "--bpm";
inline const char* const DOWNBEAT_OPTION = "--downbeat";

// Fills grid from the options given (the defaults stay for those not given). False with
// a usage error's text when a value is malformed.
bool parseGridArguments(const CommandOptions& given, BeatGridOptions& grid, std::string& error);
