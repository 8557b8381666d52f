// quartel: the floor planner. For now it answers --version.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("Release 1.0.01");
        return 0;
    }
    return 0;
}
