// The batch commands of the command line (render, info, help, version).
#pragma once

// Returns the exit status of a batch command, or -1 when the arguments name
// none and the interactive program should start.
int cli_run(int argc, char** argv);
