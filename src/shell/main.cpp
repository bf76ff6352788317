#include <cstdio>

#include "shell/cli.h"

int main(int argc, char** argv) {
  const int status = cli_run(argc, argv);
  if (status >= 0) return status;
  std::fprintf(stderr, "tetrad: the interactive program is not built yet\n");
  return 1;
}
