#include <cstdio>

int main() {
  std::puts("velmora-cli " VELMORA_VERSION);
  return 0;
}
