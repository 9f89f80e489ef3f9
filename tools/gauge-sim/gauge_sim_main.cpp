#include <cstdio>

int main() {
    std::fprintf(stderr, "wallscan-gauge-sim: not built yet\n");
    return 2;
}
