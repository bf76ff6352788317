#include <cstdio>

int main() {
  std::puts("tetrad " TETRAD_VERSION);
  return 0;
}
