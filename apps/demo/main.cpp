#include <cstdio>

// Grows with the library; for now it only proves the build links.
int main() {
  std::puts("velgraph demo: nothing to show yet");
  return 0;
}
